#include "StoreTestSupport.h"

#include <QFile>

void StoreTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
}

void StoreTest::openDatabases()
{
    QString error;
    auto opened = OpenHostDatabases(payrollPath(), commonPath(), true, error);
    ASSERT_TRUE(opened) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    db = std::move(*opened);
}

std::vector<std::string> Rows(Connection &connection, const std::string &sql)
{
    std::vector<std::string> rows;
    auto statement = connection.prepare(sql);
    EXPECT_TRUE(statement) << sql << ": " << connection.lastError().text;
    if (!statement)
        return rows;
    Statement::Step step;
    while ((step = statement->step()) == Statement::Step::Row) {
        std::string row;
        for (int c = 0; c < statement->columnCount(); ++c) {
            if (c)
                row += '|';
            row += statement->isNull(c) ? std::string("NULL") : std::string(statement->asText(c));
        }
        rows.push_back(row);
    }
    EXPECT_EQ(step, Statement::Step::Done) << sql << ": " << statement->lastError().text;
    return rows;
}

std::string Scalar(Connection &connection, const std::string &sql)
{
    const auto rows = Rows(connection, sql);
    return rows.empty() ? std::string("<no row>") : rows.front();
}

long long Count(Connection &connection, const std::string &table)
{
    return std::stoll(Scalar(connection, "SELECT count(*) FROM " + table));
}

void Exec(Connection &connection, const std::string &sql)
{
    ASSERT_TRUE(connection.execute(sql)) << sql << ": " << connection.lastError().text;
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
