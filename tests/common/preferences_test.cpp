#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/preferences.h"
#include "file_bytes.h"

using namespace Qt::StringLiterals;
using namespace std::string_literals;
using common::Preferences;
using common::PreferencesFile;

namespace {

TEST(Preferences, DamagedFilesGiveTheDefaultsAndAreReplacedWholeAtTheNextChange) {
    const struct {
        const char* name;
        QByteArray content;
        Preferences loaded;
    } table[] = {
        {"stored",
         "[drill]\nspeakQuestions=true\nlenientJudging=true\n[later]\noption=7\n"_ba,
         {true, true}},
        {"binary", QByteArray("\0\xff\xfe[\x01=\x80\n\0", 10), {}},
        {"unclosed section", "[drill\nspeakQuestions=true\n"_ba, {true, false}},
        {"not a Boolean",
         "[drill]\nspeakQuestions=yes please\nlenientJudging=true\n"_ba,
         {false, true}},
        {"UTF-16", u"[drill]\nspeakQuestions=true\n"_s.toUtf8().prepend("\xff\xfe"), {}},
        {"zooms", "[drill]\nzoom=175\n[editor]\nzoom=300\n"_ba, {false, false, 175, 300}},
        {"zooms off the steps", "[drill]\nzoom=110\n[editor]\nzoom=325\n"_ba, {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const PreferencesFile file(dir.filePath(u"preferences.ini"_s));
        kxtest::writeBytes(file.path(), row.content);
        EXPECT_EQ(file.load(), row.loaded);

        ASSERT_TRUE(file.update([](Preferences& p) { p.lenientJudging = !p.lenientJudging; }));
        Preferences expected = row.loaded;
        expected.lenientJudging = !expected.lenientJudging;
        EXPECT_EQ(file.load(), expected);
        EXPECT_FALSE(QFile::exists(file.path() + u".new"_s));
        // Keys of later versions survive in a sound file.
        EXPECT_EQ(kxtest::readBytes(file.path()).contains("option=7"), row.name == "stored"s);
    }
}

}  // namespace
