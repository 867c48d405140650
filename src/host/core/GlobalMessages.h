#pragma once

#include <QtGlobal>

#include <optional>

// The records made by SetGlobalMessageInt, held by handle until delivered once.
class GlobalMessages
{
public:
    struct Record
    {
        int message;
        qint64 value1;
        qint64 value2;
        void *pointer;
    };
    static int add(const Record &record);
    static std::optional<Record> take(int handle); // removes it
    static int count();
};
