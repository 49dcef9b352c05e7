#pragma once

#include <QPointF>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class ImageCompression;
class QObject;

// The PSNR curve of a compression, its points (percentage, PSNR) computed one after another on a
// thread of their own, so that the window answers meanwhile: each is a keep and an inverse,
// O(C N m) for N pixels of C channels, up to a second at 2048 x 2048. Each point is
// handed to `receive` in the event loop of `receiver`'s thread as it comes. The thread reads
// only what ImageCompression's constructor made (qualityAt), which keep() leaves alone.
// Destroying the curve stops it after the point under way and waits for that one; points on
// their way to `receive` then are dropped.
class PsnrCurve
{
public:
    PsnrCurve(std::shared_ptr<const ImageCompression> compression, std::vector<double> percentages,
        QObject* receiver, std::function<void(QPointF point)> receive);
    ~PsnrCurve();

    PsnrCurve(const PsnrCurve&) = delete;
    PsnrCurve& operator=(const PsnrCurve&) = delete;

private:
    // Read and written on the receiver's thread only: by the destructor and the deliveries.
    std::shared_ptr<bool> wanted = std::make_shared<bool>(true);
    std::jthread worker;
};
