#pragma once
// What the window takes from its settings file at start, beyond the recent files and the language:
//   [Devices] Input=NAME-OR-INDEX, Output=NAME-OR-INDEX   (as tonmira-cli --device takes them)
//   [Collect] PreTriggerMs=0..5000                      (also written by the collection settings)
#include <QString>
#include <functional>
#include <vector>

#include "audio/SoundDevices.h"
#include "audio/WaveBackend.h"
#include "collect/CollectSettings.h"

class QSettings;

namespace tonmira::ui {

// Chooses the named devices among `devices` through `useDevice` (the default devices stay when
// none is named) and sets the pre-trigger time, limited to 0..5000 ms. A named device that is not
// there (a recorder unplugged) leaves the default; the returned notice says so, empty otherwise.
QString ApplyFileSettings(const QSettings& settings, const std::vector<SoundDevice>& devices,
                          const std::function<void(WaveDirection, int)>& useDevice, CollectSettings& collect);

}  // namespace tonmira::ui
