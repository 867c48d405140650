#include "exchange/EnquiryExchange.h"

#include "exchange/EasyXMLReader.h"
#include "exchange/EasyXMLWriter.h"
#include "host/core/ExportFile.h"
#include "host/core/Log.h"
#include "host/core/Messages.h"

#include <QFile>
#include <QFileInfo>

bool WriteEnquiryFile(Connection &payroll, bool all, const std::vector<int> &ids,
    const QString &path, const QStringList &protectedFiles, QString &error)
{
    std::string text;
    if (!EasyXMLFromDataSet(payroll, all, ids, text, error))
        return false;
    const std::string bytes = EncodeSimpleXmlFile(std::move(text));
    ExportFile file(path, protectedFiles);
    if (!file.Open(error))
        return false;
    file.Write(bytes.data(), qint64(bytes.size()));
    return file.Commit(error);
}

namespace {

// Reads the whole file, refusing one too large before reading it. False with `error` when it
// cannot be read; `tooLarge` tells the refusal apart, which fails the import itself.
bool ReadImportFile(const QString &path, QByteArray &bytes, bool &tooLarge, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    tooLarge = file.size() > kMaxSimpleXmlFileBytes;
    if (tooLarge) {
        error = QStringLiteral("The file is larger than 256 MiB, more than any IQ file holds.");
        return false;
    }
    bytes = file.read(kMaxSimpleXmlFileBytes + 1);
    if (file.error() != QFile::NoError) {
        error = QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    tooLarge = bytes.size() > kMaxSimpleXmlFileBytes; // grew while it was read
    return !tooLarge;
}

} // namespace

ImportRun RunEnquiryImport(
    Connection &payroll, const QString &typedName, bool dryRun, bool showMessages)
{
    const auto log = [&](const QString &text, int severity) {
        if (!dryRun)
            AddToLog(text, kLogTypeIQImport, severity);
    };
    ImportRun run;
    log(QStringLiteral("Import IQ Start"), kSeverityInfo);
    const QString name = typedName.trimmed();
    if (name.isEmpty())
        run.refusal = QStringLiteral("Please select a File to import!");
    else if (!QFileInfo(name).isFile())
        run.refusal = QStringLiteral("Import File \"%1\" is not found!").arg(typedName);
    if (!run.refusal.isEmpty()) {
        if (showMessages)
            InfoMessage(run.refusal, MsgButtons::OK);
        log(run.refusal, kSeverityWarning);
        log(QStringLiteral("Import IQ Complete"), kSeverityInfo);
        return run;
    }
    log(QStringLiteral("Import from ") + typedName, kSeverityInfo);
    QByteArray bytes;
    bool tooLarge = false;
    QString error;
    if (!ReadImportFile(name, bytes, tooLarge, error) && !tooLarge) {
        run.refusal = error;
        if (showMessages)
            ErrMessage(error, MsgButtons::OK);
        log(error, kSeverityError);
        log(QStringLiteral("Import IQ Complete"), kSeverityInfo);
        return run;
    }
    run.started = true;
    QByteArray text;
    if (tooLarge)
        run.outcome.error = error;
    else if (!DecodeSimpleXmlFile(std::move(bytes), text, error))
        run.outcome.error = error;
    bytes.clear();
    if (!run.outcome.Failed())
        run.outcome = EasyDataSetFromXML(payroll, text, dryRun);
    for (const QString &line : std::as_const(run.outcome.rejections))
        log(line, kSeverityWarning);
    if (run.outcome.Failed())
        log(run.outcome.Message(), kSeverityError);
    else
        log(run.outcome.CountLine(), kSeverityInfo);
    if (showMessages) {
        if (run.outcome.Failed())
            ErrMessage(run.outcome.Message(), MsgButtons::OK);
        else
            InfoMessage(run.outcome.Message(), MsgButtons::OK);
    }
    log(QStringLiteral("Import IQ Complete"), kSeverityInfo);
    return run;
}
