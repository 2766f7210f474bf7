#pragma once
// The one catalogue of the texts the core shows through its message sink, byte for byte as the
// user sees them. %1, %2 are filled in with FormatArgs (base/MessageSink.h).
namespace tonmira::msg {

// The document and its files.

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

// The text exports of the analysis.
inline constexpr const char* kPcmSaveFailed = "PCMデータの保存に失敗しました。";
inline constexpr const char* kSpectrumSaveFailed = "スペクトラムデータの保存に失敗しました。";
inline constexpr const char* kTransitionSaveFailed = "スペクトラム推移データの保存に失敗しました。";

// The analysis: an FFT size above the take's frame count (%1 = the frame count).
inline constexpr const char* kTooFewFrames = "データ数が足りません! データ数 = %1";
// The detection-condition dialog's band check (%1, %2 = the bounds: 0 and half the rate).
inline constexpr const char* kBandRange = "%1 以上, %2 以下の値を入力してください！";

// The transport.
inline constexpr const char* kPlayInitFailed = "再生処理の初期化に失敗しました！";
inline constexpr const char* kRecordInitFailed = "録音処理の初期化に失敗しました！";
// Play or record on a system without such a device: said, rather than nothing happening.
inline constexpr const char* kNoOutputDevice = "再生デバイスが見つかりません！";
inline constexpr const char* kNoInputDevice = "録音デバイスが見つかりません！";
inline constexpr const char* kBufferFailed = "バッファの取得に失敗しました！";
inline constexpr const char* kCannotChangeSettings = "設定変更できません！";
inline constexpr const char* kSettingUnusable = "選択した設定は使用できません！";

// The collection settings dialog and its .ars files (a failed read shows kReadFailed).
inline constexpr const char* kEnterInteger = "整数を入力してください。";
inline constexpr const char* kEnterNumber = "数字を入力してください。";
inline constexpr const char* kFileSaveFailed = "ファイルの保存に失敗しました。";

}  // namespace tonmira::msg
