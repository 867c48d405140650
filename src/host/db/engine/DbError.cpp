#include "host/db/engine/DbError.h"

#include <cctype>
#include <cstring>

bool DbError::isTimeout() const
{
    const std::size_t length = std::strlen(kQueryTimeoutText);
    if (text.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i]))
            != std::toupper(static_cast<unsigned char>(kQueryTimeoutText[i])))
            return false;
    }
    return true;
}
