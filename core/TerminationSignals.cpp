#include "core/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
int g_signalFd = -1;

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}
} // namespace

void blockTerminationSignals()
{
    const sigset_t set = terminationSignals();
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0)
        g_signalFd = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

void quitOnTerminationSignals()
{
    if (g_signalFd < 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalFd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        signalfd_siginfo info;
        while (::read(g_signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) { }
        QCoreApplication::exit(0);
    });
}

int takeTerminationSignal()
{
    if (g_signalFd < 0)
        return 0;
    signalfd_siginfo info;
    if (::read(g_signalFd, &info, sizeof info) != static_cast<ssize_t>(sizeof info))
        return 0;
    return int(info.ssi_signo);
}

void unblockTerminationSignalsInChild()
{
    const sigset_t set = terminationSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}
