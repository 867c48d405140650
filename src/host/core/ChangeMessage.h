#pragma once

#include "host/core/HostMessages.h"

#include <QtGlobal>

class QObject;

// Keeps a message with its values until QuillonControl delivers it; returns the record's handle
// to pass as the first parameter of message 5038.
int SetGlobalMessageInt(int message, qint64 value1, qint64 value2, void *pointer);
// The host's control object: message 5038 with a record delivers the record's message and
// values to every open host window.
QObject *QuillonControl();
// Posted, never sent: the receiver runs after the sending command has finished.
void PostHostMessage(QObject *target, int message, qint64 param1, qint64 param2);
// Records not yet delivered (tests).
int PendingGlobalMessages();
