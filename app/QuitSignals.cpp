#include "app/QuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{
const int Watched[] = {SIGTERM, SIGINT, SIGHUP};
// A handler may do almost nothing: it writes the signal's number into a pipe, which the event
// loop reads.
int pipeEnds[2] = {-1, -1};

void onSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}
} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &QuitSignals::readPipe);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : Watched)
        ::sigaction(number, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    for (int number : Watched)
        ::signal(number, SIG_DFL);
    for (int &end : pipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void QuitSignals::readPipe()
{
    char byte;
    while (::read(pipeEnds[0], &byte, 1) == 1) {
        last = byte;
        emit signal_quit(last);
    }
}
