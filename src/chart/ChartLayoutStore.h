#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class Connection;

// The IQ's stored chart template: nullopt when the IQ has none (no row, or a null column). A
// failing read gives nullopt with `error` set.
std::optional<QByteArray> ReadChartLayout(Connection &payroll, int enquiryId, QString &error);
