#include "app/cli/DefinitionJson.h"

#include "edit/EnquiryEditor.h"
#include "host/db/engine/Connection.h"
#include "run/ParamValue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString LookupText(Connection &payroll, const char *sql, const std::optional<int> &id)
{
    QString text;
    DbError failure;
    if (id)
        payroll.forEachRow(
            sql, { std::int64_t(*id) },
            [&](const Statement &row) {
                text = QString::fromStdString(std::string(row.asText(0)));
                return false;
            },
            failure);
    return text;
}

bool ReadText(
    const QJsonObject &object, const char *key, std::optional<QString> &out, QString &error)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined())
        return true;
    if (value.isNull()) {
        out = QString();
        return true;
    }
    if (!value.isString()) {
        error = QStringLiteral("\"%1\" must be a text.").arg(QLatin1String(key));
        return false;
    }
    out = value.toString();
    return true;
}

QString DateText(const QDateTime &date)
{
    return date.time() == QTime(0, 0) ? date.toString(QStringLiteral("yyyy-MM-dd"))
                                      : date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

bool DefinitionJson::Parse(const QByteArray &bytes, DefinitionJson &out, QString &error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not a JSON definition at offset %1: %2")
                    .arg(parseError.offset)
                    .arg(parseError.errorString());
        return false;
    }
    if (!document.isObject()) {
        error = QStringLiteral("a definition is a JSON object.");
        return false;
    }
    const QJsonObject object = document.object();
    if (!ReadText(object, "code", out.code, error)
        || !ReadText(object, "description", out.description, error)
        || !ReadText(object, "database", out.database, error)
        || !ReadText(object, "company", out.company, error)
        || !ReadText(object, "frequency", out.frequency, error)
        || !ReadText(object, "type", out.type, error) || !ReadText(object, "sql", out.sql, error))
        return false;
    if (object.contains("parameters")) {
        out.parameters.emplace();
        for (const QJsonValue &item : object.value("parameters").toArray()) {
            const QJsonObject param = item.toObject();
            if (!param.value("name").isString()) {
                error = QStringLiteral("every parameter needs a \"name\".");
                return false;
            }
            out.parameters->push_back({ param.value("name").toString(),
                param.value("type").toString(), param.value("default").toString() });
        }
    }
    if (object.contains("columns")) {
        out.columns.emplace();
        for (const QJsonValue &item : object.value("columns").toArray()) {
            const QJsonObject column = item.toObject();
            if (!column.value("name").isString() || !column.value("order").isDouble()) {
                error = QStringLiteral("every column needs a \"name\" and an \"order\".");
                return false;
            }
            out.columns->push_back({ column.value("name").toString(), column.value("show").toBool(),
                column.value("order").toInt() });
        }
    }
    return true;
}

QByteArray DefinitionJson::Write() const
{
    QJsonObject object;
    const auto put = [&](const char *key, const std::optional<QString> &value) {
        if (value)
            object.insert(QLatin1String(key), *value);
    };
    put("code", code);
    put("description", description);
    put("database", database);
    put("company", company);
    put("frequency", frequency);
    put("type", type);
    put("sql", sql);
    if (parameters) {
        QJsonArray array;
        for (const Param &param : *parameters)
            array.append(QJsonObject {
                { "name", param.name }, { "type", param.type }, { "default", param.value } });
        object.insert("parameters", array);
    }
    if (columns) {
        QJsonArray array;
        for (const Column &column : *columns)
            array.append(QJsonObject {
                { "name", column.name }, { "show", column.show }, { "order", column.order } });
        object.insert("columns", array);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

DefinitionJson DefinitionJson::FromEditor(Connection &payroll, const EnquiryEditor &editor)
{
    const EnquiryFields &fields = editor.Fields();
    DefinitionJson out;
    out.code = editor.EnquiryID() > 0 ? editor.StoredCode() : fields.code.trimmed();
    out.description = fields.description.trimmed();
    out.database = fields.commonDb ? QStringLiteral("common") : QStringLiteral("payroll");
    out.company = LookupText(
        payroll, "SELECT cCode FROM _iptblPayerGroups WHERE idPayer = ?", fields.payrollCompanyId);
    out.frequency = LookupText(payroll,
        "SELECT cCode FROM _iptblPayFrequencies WHERE idPayFrequency = ?", fields.payFrequencyId);
    out.type = fields.newIQType.trimmed().isEmpty() ? LookupText(
                   payroll, "SELECT cIQType FROM _iptblIQTypes WHERE idIQType = ?", fields.iqTypeId)
                                                    : fields.newIQType.trimmed();
    out.sql = editor.SQLStatement();
    out.parameters.emplace();
    for (const ParamEntry &entry : editor.Params())
        out.parameters->push_back({ entry.name, entry.typeName,
            entry.date.isValid() ? DateText(entry.date) : entry.value });
    out.columns.emplace();
    for (const EditorColumn &column : editor.Columns())
        out.columns->push_back({ column.name, column.show, column.order });
    return out;
}
