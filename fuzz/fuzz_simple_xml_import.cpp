// Bytes as an IQ exchange file, imported whole into a payroll database with our schema (kept on
// /dev/shm when there is one). The canaries: a failed import leaves no row behind, a committed one
// holds at least the records it accepted, and no transaction stays open.
#include "exchange/EasyXMLReader.h"
#include "host/db/engine/SqliteConnection.h"
#include "store/Schema.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr std::size_t kMaxInput = 1 << 20;

struct Target
{
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SqliteConnection> payroll;

    Target()
    {
        const QString shm = QStringLiteral("/dev/shm");
        dir = std::make_unique<QTemporaryDir>(
            (QDir(shm).exists() ? shm : QDir::tempPath()) + "/fuzz_simple_xml-XXXXXX");
        DbError error;
        payroll = SqliteConnection::open(dir->filePath("payroll.db").toStdString(),
            SqliteConnection::OpenMode::ReadWriteCreate, error);
        QString schemaError;
        if (!payroll || !EnsureSchema(*payroll, DatabaseKind::Payroll, schemaError)
            || !payroll->execute("PRAGMA synchronous = OFF")) {
            std::fprintf(stderr, "cannot make the database: %s %s\n", error.text.c_str(),
                qPrintable(schemaError));
            std::abort();
        }
    }

    int Rows()
    {
        int rows = 0;
        DbError error;
        payroll->forEachRow(
            "SELECT (SELECT count(*) FROM _iptblEasyEnquiry) + (SELECT count(*) FROM "
            "_iptblEasyEnquiryColumn) + (SELECT count(*) FROM _iptblEasyEnquiryParam)",
            {},
            [&](const Statement &row) {
                rows = int(row.asInt64(0));
                return false;
            },
            error);
        return rows;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Target target;
    if (size > kMaxInput)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray text;
    ImportOutcome outcome;
    if (DecodeSimpleXmlFile(bytes, text, outcome.error))
        outcome = EasyDataSetFromXML(*target.payroll, text);
    const int rows = target.Rows();
    if (target.payroll->inTransaction() || (outcome.Failed() && rows != 0)
        || (!outcome.Failed() && rows < outcome.accepted)) {
        std::fprintf(stderr, "import left %d rows (accepted %d, error \"%s\")\n", rows,
            outcome.accepted, qPrintable(outcome.error));
        std::abort();
    }
    if (rows > 0)
        target.payroll->execute("DELETE FROM _iptblEasyEnquiry; DELETE FROM "
                                "_iptblEasyEnquiryColumn; DELETE FROM _iptblEasyEnquiryParam;");
    return 0;
}
