#pragma once
// The texts the document and its files show, byte for byte as the user sees them.
namespace tonmira::msg {

inline constexpr const char* kNotPcm = "PCMデータではありません!";
inline constexpr const char* kHeaderTooShort = "ヘッダ情報が足りません!";
inline constexpr const char* kMallocFailed = "メモリが確保（malloc）できません!";
inline constexpr const char* kReallocFailed = "メモリが確保（realloc）できません!";
inline constexpr const char* kReadFailed = "ファイルの読み込みに失敗しました。";
inline constexpr const char* kWrongFormat = "ファイル形式が違います。";
inline constexpr const char* kTooFewPoints = "最低16点のデータが必要です!";
inline constexpr const char* kWavSaveFailed = "Wavファイルの保存に失敗しました。";
inline constexpr const char* kWriteFailed = "ファイルの書き込みに失敗しました。";

// Framework texts: the generic file error (%1 = path) and the save-changes question.
inline constexpr const char* kAccessError = "%1 へのアクセス中に不明なエラーが発生しました。";
inline constexpr const char* kSaveChanges = "%1 への変更を保存しますか?";
// The format prompt's validation of the sampling rate (%1, %2 = the bounds).
inline constexpr const char* kPositiveInteger = "正の整数を入力してください。";
inline constexpr const char* kIntegerRange = "%1 から %2 までの整数を入力してください。";

// Our own refusals of WAV files the take cannot hold.
inline constexpr const char* kNoDataChunk = "dataチャンクが見つかりません!";
// Saving over a file the program only reads, or over the source a take was converted from
// (%1 = the path): refused, so a recording is never replaced by a lesser copy.
inline constexpr const char* kProtectedSource =
    "%1 は読み込み専用の形式か、変換して読み込んだ元のファイルです。WAVファイルとして別の名前で保存してください。";
// The event log of a collection cannot be written (%1 = its path); shown once per collection.
inline constexpr const char* kEventLogFailed = "イベントログ %1 に書き込めません。";
inline constexpr const char* kUnsupportedWav = "対応していないWAVフォーマットです(1～2ch、8/16ビットのみ)!";

}  // namespace tonmira::msg
