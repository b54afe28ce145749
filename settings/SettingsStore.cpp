#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <memory>
#include <optional>

namespace {

// An INI file in the user's configuration folder: the Qt window is the Linux one.
std::unique_ptr<QSettings> OpenStore(const QString& company, const QString& application) {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, company, application);
}

// QSettings separates levels with '/'; the section is written with a backslash.
QString KeyOf(const std::string& section, const std::string& name) {
    QString key = QString::fromStdString(section) + '/' + QString::fromStdString(name);
    key.replace('\\', '/');
    return key;
}

// Only a plain 32-bit integer counts: a DWORD from the registry, or the decimal text
// an INI file holds. Anything else reads as absent.
std::optional<int32_t> ToInt32(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
        return static_cast<int32_t>(value.toUInt());
    case QMetaType::QString: {
        static const QRegularExpression plainDecimal(QStringLiteral("^-?[0-9]{1,10}$"));
        const QString text = value.toString();
        bool ok = false;
        const int32_t number = text.toInt(&ok);
        if (!ok || !plainDecimal.match(text).hasMatch()) return std::nullopt;
        return number;
    }
    default:
        return std::nullopt;
    }
}

}  // namespace

void SettingsStore::SetRoot(const std::string& company) {
    Company = QString::fromStdString(company);
    // The application object names itself after the executable file, extension and all.
    Application = QFileInfo(QCoreApplication::applicationName()).completeBaseName();
}

int32_t SettingsStore::ReadInt(const std::string& section, const std::string& name, int32_t def) {
    const auto store = OpenStore(Company, Application);
    if (store->status() != QSettings::NoError) return def;
    return ToInt32(store->value(KeyOf(section, name))).value_or(def);
}

int SettingsStore::WriteInt(const std::string& section, const std::string& name, int32_t value) {
    const QString key = KeyOf(section, name);
    const auto write = [&] {
        const auto store = OpenStore(Company, Application);
        store->setValue(key, value);
        store->sync();
        return store->isWritable() ? store->status() : QSettings::AccessError;
    };
    QSettings::Status status = write();
    // A file that cannot be parsed keeps failing every write, and its values are
    // unreadable anyway: it starts afresh.
    if (status == QSettings::FormatError) {
        QFile::remove(OpenStore(Company, Application)->fileName());
        status = write();
    }
    return status == QSettings::NoError ? 1 : 0;
}
