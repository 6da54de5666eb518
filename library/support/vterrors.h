// The library's error classes: one per component, the message being the component's title,
// an empty line and the detail text.
#pragma once
#include "platform/core/sysutils.h"

namespace VantrelSystem {

// Raised by the MIDI component and its file loader.
class EVtMidi : public Exception {
public:
    static constexpr const char* Title = "TVantrelMidi エラー\n\n";
    explicit EVtMidi(const AnsiString& detail);
};

// Raised by the counted pointer's reference table.
class EVtAutoPtr : public Exception {
public:
    static constexpr const char* Title = "TVantrelAutoPtr エラー\n\n";
    explicit EVtAutoPtr(const AnsiString& detail);
};

// The detail texts; those ending in a label get the offending name appended by the raiser.
namespace VtErrorText {
inline constexpr const char* NotInitialized = "まだ初期化されてません。";
inline constexpr const char* MidiOutFailed = "MidiOutの作成に失敗しました。";
inline constexpr const char* NoSuchData = "データが存在しません。\nデータ名：";
inline constexpr const char* ReportIsOff = "Reportプロパティは、falseになっています。";
inline constexpr const char* LoadFailed = "MIDIの読み込みに失敗しました。\nファイル名：";
inline constexpr const char* BadFileHeader = "ファイルヘッダが不正です。\nファイル名：";
inline constexpr const char* NotFormat0Or1 = "SMFFormat0またはSMFFormat1ではありません。\nファイル名：";
inline constexpr const char* BadTrackHeader = "トラックヘッダが不正です。\nファイル名：";
inline constexpr const char* BadFileData = "ファイルデータが不正です。\nファイル名：";
inline constexpr const char* UnlistedPointer = "リストされていないポインタが検出されました。";
}  // namespace VtErrorText

}  // namespace VantrelSystem
