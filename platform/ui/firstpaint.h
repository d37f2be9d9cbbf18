#pragma once
// For the start-up benchmark (bench/startup.sh): with
// BSC_EXIT_AFTER_FIRST_PAINT set, the program prints the wall-clock time at
// which its first window has been painted, the processor time used until
// then and its peak memory, then quits.
// Header only, so that the benchmark's minimal window measures alike without
// linking the application.

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QWidget>

#include <cstdio>
#include <sys/resource.h>
#include <time.h>

namespace FirstPaint {

class Watch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && object->isWidgetType()
            && static_cast<QWidget *>(object)->isWindow()) {
            m_seen = true;
            // Queued: runs once the whole window is painted and flushed.
            QMetaObject::invokeMethod(this, [] { report(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    static void report()
    {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto us = [](const timeval &t) { return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_usec; };
        std::printf("first_paint_us %lld\ncpu_us %lld\nmax_rss_kb %ld\n",
                    static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000,
                    us(usage.ru_utime) + us(usage.ru_stime), usage.ru_maxrss);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    bool m_seen = false;
};

// Does nothing unless BSC_EXIT_AFTER_FIRST_PAINT is set.
inline void watch(QApplication &app)
{
    if (!qEnvironmentVariableIsEmpty("BSC_EXIT_AFTER_FIRST_PAINT"))
        app.installEventFilter(new Watch(&app));
}

} // namespace FirstPaint
