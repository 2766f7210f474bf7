#pragma once
// Help > topics: the user manual shipped with the program (manual/<language>/index.html),
// opened in the desktop's browser. UI thread only.
#include <QString>
#include <QUrl>
#include <functional>

namespace tonmira {
class MessageSink;
}

namespace tonmira::ui {

inline constexpr const char* kMsgManualMissing = "マニュアルが見つかりません: %1";
inline constexpr const char* kMsgManualNotOpened = "マニュアルを開けません: %1";

// The manual's index page for a language ("ja" or "en") of the program in programDir: in
// programDir/manual (the build folder), else in the installed data folder (share/tonmira/manual
// beside programDir's bin); the language's own page when it exists, else the Japanese one, else
// the English one. Empty when there is none.
QString ManualIndexPath(const QString& programDir, const QString& language);

// Opens the manual of the running program (found from programDir, the program's folder when
// empty) in the window's language, with `open` (the desktop's browser by default). A missing
// manual or a browser that cannot be started is reported through sink. Returns true when it was
// handed over.
bool OpenHelpTopics(MessageSink& sink, const std::function<bool(const QUrl&)>& open = {}, QString programDir = {});

}  // namespace tonmira::ui
