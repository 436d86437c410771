#include "editor/core/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace editor {

namespace {

constexpr const char* Organisation = "Quillmark Software";
constexpr const char* Application = "GIF Loopwright 3.0";

QString Key(const QString& section, const QString& name) {
    return section.isEmpty() ? name : section + '/' + name;
}

// Numbers kept as text in the INI file; anything else is not a number.
bool ToInt(const QVariant& value, int& out) {
    if (!value.isValid() || value.userType() == QMetaType::QStringList) return false;
    bool ok = false;
    const int n = value.toString().trimmed().toInt(&ok);
    if (ok) out = n;
    return ok;
}

} // namespace

QString sections::Toolbar(const QString& toolbarName) {
    return QString(Toolbars) + '/' + toolbarName;
}

namespace {

// The file exists and is something other than a regular file (or a link to one).
bool Unusable(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

std::unique_ptr<QSettings> ScratchStore(std::unique_ptr<QTemporaryDir>& scratch, const QString& refused) {
    std::fprintf(stderr, "loopwright: %s is not a regular file; the settings are neither read nor written\n",
                 qPrintable(refused));
    scratch = std::make_unique<QTemporaryDir>();
    return std::make_unique<QSettings>(scratch->filePath("settings.ini"), QSettings::IniFormat);
}

} // namespace

Settings::Settings() {
    // QSettings reads its files as it is made: the user's file of the program and the
    // organisation's fallback are looked at first, where QSettings keeps them.
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
                      Organisation);
    for (const QString& file : {folder.filePath(QString(Application) + ".ini"),
                                folder.filePath(QString(Organisation) + ".ini")})
        if (Unusable(file)) {
            store_ = ScratchStore(scratch_, file);
            return;
        }
    store_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, Organisation, Application);
}

Settings::Settings(const QString& iniFile)
    : store_(Unusable(iniFile) ? ScratchStore(scratch_, iniFile)
                               : std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

Settings::~Settings() = default;

QVariant Settings::Raw(const QString& section, const QString& name) const {
    return store_->value(Key(section, name));
}

void Settings::Put(const QString& section, const QString& name, const QVariant& value) {
    store_->setValue(Key(section, name), value);
}

int Settings::Value(const TIntSetting& key) const {
    return std::clamp(ReadInt(key.Section, key.Name, key.Default), key.Min, key.Max);
}

QString Settings::Value(const TStringSetting& key) const {
    const QString fallback = key.Default ? QString(key.Default) : DefaultImagesFolder();
    return ReadString(key.Section, key.Name, fallback);
}

void Settings::SetValue(const TIntSetting& key, int value) { WriteInt(key.Section, key.Name, value); }

void Settings::SetValue(const TStringSetting& key, const QString& value) {
    WriteString(key.Section, key.Name, value);
}

int Settings::ReadInt(const QString& section, const QString& name, int defaultValue) const {
    int value = defaultValue;
    return ToInt(Raw(section, name), value) ? value : defaultValue;
}

QString Settings::ReadString(const QString& section, const QString& name,
                             const QString& defaultValue) const {
    const QVariant value = Raw(section, name);
    // A list (a value written with commas by hand) is not one of our strings.
    if (!value.isValid() || value.userType() == QMetaType::QStringList) return defaultValue;
    return value.toString();
}

void Settings::WriteInt(const QString& section, const QString& name, int value) {
    Put(section, name, value);
}

void Settings::WriteString(const QString& section, const QString& name, const QString& value) {
    Put(section, name, value);
}

QStringList Settings::NumberedList(const QString& section) const {
    store_->beginGroup(section);
    const int count = int(store_->childKeys().size());
    QStringList entries;
    for (int n = 0; n < count; ++n) {
        const QVariant value = store_->value(QString("MRU%1").arg(n));
        entries << (value.userType() == QMetaType::QStringList ? QString() : value.toString());
    }
    store_->endGroup();
    return entries;
}

void Settings::SetNumberedList(const QString& section, const QStringList& entries) {
    store_->remove(section);
    for (int n = 0; n < entries.size(); ++n) Put(section, QString("MRU%1").arg(n), entries[n]);
}

TToolbarPlacement Settings::Toolbar(const QString& toolbarName,
                                    const TToolbarPlacement& current) const {
    const QString section = sections::Toolbar(toolbarName);
    return {ReadInt(section, "Left", current.Left), ReadInt(section, "Top", current.Top),
            ReadInt(section, "Visible", current.Visible ? 1 : 0) != 0};
}

void Settings::SetToolbar(const QString& toolbarName, const TToolbarPlacement& placement) {
    const QString section = sections::Toolbar(toolbarName);
    WriteInt(section, "Left", placement.Left);
    WriteInt(section, "Top", placement.Top);
    WriteInt(section, "Visible", placement.Visible ? 1 : 0);
}

QString Settings::DefaultImagesFolder() {
    const QString programFolder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(programFolder).filePath("Images");
}

void Settings::Sync() { store_->sync(); }

QString Settings::FileName() const { return store_->fileName(); }

int ReadSetting(Settings& settings, const QString& section, const QString& name, int defaultValue) {
    return settings.ReadInt(section, name, defaultValue);
}

QString ReadSetting(Settings& settings, const QString& section, const QString& name,
                    const QString& defaultValue) {
    return settings.ReadString(section, name, defaultValue);
}

void WriteSetting(Settings& settings, const QString& section, const QString& name, int value) {
    settings.WriteInt(section, name, value);
}

void WriteSetting(Settings& settings, const QString& section, const QString& name,
                  const QString& value) {
    settings.WriteString(section, name, value);
}

} // namespace editor
