#pragma once

#include <QGuiApplication>
#include <QStatusBar>

// The status line of a command that takes time: a waiting text while it runs, then its
// completion text. A command that ends without completing (rejected input, an error) puts back
// the text shown before, so the line never claims work that did not happen.
class WaitingStatus
{
public:
    WaitingStatus(QStatusBar* bar, const QString& waiting)
        : bar(bar)
        , before(bar->currentMessage())
    {
        bar->showMessage(waiting);
        bar->repaint(); // the command holds the event loop: show the text now
    }

    void complete(const QString& text)
    {
        bar->showMessage(text);
        completed = true;
    }

    ~WaitingStatus()
    {
        if (!completed)
            bar->showMessage(before);
    }

    WaitingStatus(const WaitingStatus&) = delete;
    WaitingStatus& operator=(const WaitingStatus&) = delete;

private:
    QStatusBar* bar;
    QString before;
    bool completed = false;
};

// The busy cursor while a command holds the event loop.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
