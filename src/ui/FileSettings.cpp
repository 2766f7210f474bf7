#include "ui/FileSettings.h"

#include <QSettings>

#include "ui/dialogs/CAutoRecord.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

QString ApplyFileSettings(const QSettings& settings, const std::vector<SoundDevice>& devices,
                          const std::function<void(WaveDirection, int)>& useDevice, CollectSettings& collect)
{
    QStringList notices;
    for (const bool input : {true, false}) {
        const QString key = input ? QStringLiteral("Devices/Input") : QStringLiteral("Devices/Output");
        const QString wanted = settings.value(key).toString().trimmed();
        if (wanted.isEmpty())
            continue;
        std::string error;
        const int index = ChooseSoundDevice(devices, wanted.toStdString(), input, error);
        if (index >= 0)
            useDevice(input ? WaveDirection::Input : WaveDirection::Output, index);
        else
            notices << Tr("設定ファイルのデバイス %1 が見つかりません。既定のデバイスを使います。").arg(wanted);
    }
    collect.m_nPreTriggerMs = ReadPreTriggerMs(settings);
    return notices.join(QLatin1Char(' '));
}

}  // namespace tonmira::ui
