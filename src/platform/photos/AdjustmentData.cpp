#include "platform/photos/AdjustmentData.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace photos {

namespace {

constexpr const char* kKind = "opalene.adjustment-data";
constexpr int64_t kLargestRecord = 16 * 1024 * 1024; // a record is a few bytes; refuse anything huge

void fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

} // namespace

std::string AdjustmentData::serialized() const {
    QJsonObject record;
    record["kind"] = kKind;
    record["formatIdentifier"] = QString::fromStdString(_formatIdentifier);
    record["formatVersion"] = QString::fromStdString(_formatVersion);
    record["data"] = QString::fromLatin1(QByteArray(_data.data(), qsizetype(_data.size())).toBase64());
    return QJsonDocument(record).toJson(QJsonDocument::Indented).toStdString();
}

std::optional<AdjustmentData> AdjustmentData::deserialize(const std::string& bytes, std::string* error) {
    QJsonParseError parse{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(bytes.data(), qsizetype(bytes.size())), &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        fail(error, "the adjustment data is damaged: it is not a JSON record");
        return std::nullopt;
    }
    const QJsonObject record = document.object();
    if (record["kind"].toString() != kKind) {
        fail(error, "the adjustment data is not a record of this host");
        return std::nullopt;
    }
    const QJsonValue identifier = record["formatIdentifier"], version = record["formatVersion"],
                     data = record["data"];
    if (!identifier.isString() || !version.isString() || !data.isString()) {
        fail(error, "the adjustment data is damaged: a field is missing or of the wrong kind");
        return std::nullopt;
    }
    const auto decoded =
        QByteArray::fromBase64Encoding(data.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        fail(error, "the adjustment data is damaged: its data is not base64");
        return std::nullopt;
    }
    return AdjustmentData(identifier.toString().toStdString(), version.toString().toStdString(),
                          std::string(decoded.decoded.constData(), size_t(decoded.decoded.size())));
}

bool AdjustmentData::writeToFile(const std::string& path, std::string* error) const {
    QSaveFile file(QString::fromStdString(path));
    const std::string bytes = serialized();
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.commit()) {
        fail(error, "cannot write the adjustment data to " + path + ": " + file.errorString().toStdString());
        return false;
    }
    return true;
}

std::optional<AdjustmentData> AdjustmentData::readFromFile(const std::string& path, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, "cannot read the adjustment data " + path + ": " + file.errorString().toStdString());
        return std::nullopt;
    }
    if (file.size() > kLargestRecord) {
        fail(error, "the adjustment data " + path + " is too large to be a record");
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    std::string why;
    std::optional<AdjustmentData> record = deserialize(bytes.toStdString(), &why);
    if (!record) fail(error, why + " (" + path + ")");
    return record;
}

} // namespace photos
