#pragma once

#include <QString>

// The password comes from $CORVANE_PASSWORD, or is asked for without echo when standard input is
// a terminal. False with an error when neither is possible.
bool ReadPassword(const QString &agent, QString &password, QString &error);
