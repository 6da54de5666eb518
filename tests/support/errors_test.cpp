#include <gtest/gtest.h>

#include "library/support/vterrors.h"

using namespace VantrelSystem;

namespace {

struct MessageCase {
    const char* Name;
    AnsiString Message;
    AnsiString Expected;
};

TEST(LibraryErrors, MessageIsTitleThenDetail) {
    const MessageCase cases[] = {
        {"not initialised", EVtMidi(VtErrorText::NotInitialized).Message,
         "TVantrelMidi エラー\n\nまだ初期化されてません。"},
        {"empty data name", EVtMidi(AnsiString(VtErrorText::NoSuchData) + "").Message,
         "TVantrelMidi エラー\n\nデータが存在しません。\nデータ名："},
        {"file name label", EVtMidi(AnsiString(VtErrorText::BadFileHeader) + "wav\\bgm.mid").Message,
         "TVantrelMidi エラー\n\nファイルヘッダが不正です。\nファイル名：wav\\bgm.mid"},
        {"unlisted pointer", EVtAutoPtr(VtErrorText::UnlistedPointer).Message,
         "TVantrelAutoPtr エラー\n\nリストされていないポインタが検出されました。"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Message, c.Expected) << c.Name;
}

TEST(LibraryErrors, CaughtAsFrameworkExceptionWithWhatEqualToMessage) {
    try {
        throw EVtMidi(VtErrorText::ReportIsOff);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "TVantrelMidi エラー\n\nReportプロパティは、falseになっています。");
        EXPECT_STREQ(e.what(), e.Message.c_str());
        return;
    }
    FAIL() << "not caught as Exception";
}

}  // namespace
