#include "app/cli/PasswordPrompt.h"

#include <cstdio>
#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

bool ReadPassword(const QString &agent, QString &password, QString &error)
{
    if (qEnvironmentVariableIsSet("CORVANE_PASSWORD")) {
        password = qEnvironmentVariable("CORVANE_PASSWORD");
        return true;
    }
    if (!isatty(STDIN_FILENO)) {
        error = QStringLiteral(
            "no password for agent \"%1\": set CORVANE_PASSWORD or run on a terminal.")
                    .arg(agent);
        return false;
    }
    std::fprintf(stderr, "Password for %s: ", agent.toLocal8Bit().constData());
    std::fflush(stderr);
    termios saved {};
    const bool haveTerminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTerminal) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    std::string line;
    std::getline(std::cin, line);
    if (haveTerminal)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fprintf(stderr, "\n");
    password = QString::fromStdString(line);
    return true;
}
