#include "imaging/PsnrCurve.h"

#include "imaging/ImageCompression.h"

#include <QMetaObject>
#include <QObject>

PsnrCurve::PsnrCurve(std::shared_ptr<const ImageCompression> compression,
    std::vector<double> percentages, QObject* receiver, std::function<void(QPointF point)> receive)
{
    worker = std::jthread([=, wanted = wanted](std::stop_token stop) {
        for (double percent : percentages) {
            if (stop.stop_requested())
                return;
            QPointF point;
            try {
                point = {percent, compression->qualityAt(percent).psnr};
            } catch (...) { // no memory for the point: the curve stops short
                return;
            }
            QMetaObject::invokeMethod(
                receiver,
                [=] {
                    if (*wanted)
                        receive(point);
                },
                Qt::QueuedConnection);
        }
    });
}

PsnrCurve::~PsnrCurve()
{
    *wanted = false;
    worker.request_stop();
}
