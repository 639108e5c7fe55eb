// libFuzzer target: the settings-file reader takes any file. The bytes are written as the
// settings file of a scratch data folder and read; a crash, a sanitizer report or a value
// outside its documented range is a finding.

#include "store/settingsfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 16384)
        return 0;
    static QTemporaryDir folder;
    const QString dataFolder = folder.path() + u'/';
    QFile file(settingsFilePath(dataFolder));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();

    Settings settings;
    const SettingsReadResult result =
        ReadSettingsFile(dataFolder, settings, QStringLiteral("Deutsch"));
    if (settings.fontSize < 1 || settings.fontSize > 500)
        std::abort();
    if (result.status == SettingsRead::Corrupted && QFile::exists(settingsFilePath(dataFolder)))
        std::abort(); // a corrupted file is deleted
    return 0;
}
