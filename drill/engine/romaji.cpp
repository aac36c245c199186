// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/romaji.h"

#include <QByteArrayList>
#include <QString>

#include <vector>

namespace drill {

namespace {

// Each kana (or kana with its small kana) and the ways to type it, blank-separated.
struct Spelling {
    const char16_t* kana;
    const char* romaji;
};

// clang-format off
constexpr Spelling kSpellings[] = {
    {u"あ", "a"}, {u"い", "i yi"}, {u"う", "u wu whu"}, {u"え", "e"}, {u"お", "o"},
    {u"か", "ka ca"}, {u"き", "ki"}, {u"く", "ku cu qu"}, {u"け", "ke"}, {u"こ", "ko co"},
    {u"さ", "sa"}, {u"し", "shi si ci"}, {u"す", "su"}, {u"せ", "se ce"}, {u"そ", "so"},
    {u"た", "ta"}, {u"ち", "chi ti"}, {u"つ", "tsu tu"}, {u"て", "te"}, {u"と", "to"},
    {u"な", "na"}, {u"に", "ni"}, {u"ぬ", "nu"}, {u"ね", "ne"}, {u"の", "no"},
    {u"は", "ha"}, {u"ひ", "hi"}, {u"ふ", "fu hu"}, {u"へ", "he"}, {u"ほ", "ho"},
    {u"ま", "ma"}, {u"み", "mi"}, {u"む", "mu"}, {u"め", "me"}, {u"も", "mo"},
    {u"や", "ya"}, {u"ゆ", "yu"}, {u"よ", "yo"},
    {u"ら", "ra"}, {u"り", "ri"}, {u"る", "ru"}, {u"れ", "re"}, {u"ろ", "ro"},
    {u"わ", "wa"}, {u"ゐ", "wi"}, {u"ゑ", "we"}, {u"を", "wo o"},
    {u"が", "ga"}, {u"ぎ", "gi"}, {u"ぐ", "gu"}, {u"げ", "ge"}, {u"ご", "go"},
    {u"ざ", "za"}, {u"じ", "ji zi"}, {u"ず", "zu"}, {u"ぜ", "ze"}, {u"ぞ", "zo"},
    {u"だ", "da"}, {u"ぢ", "di ji"}, {u"づ", "du zu"}, {u"で", "de"}, {u"ど", "do"},
    {u"ば", "ba"}, {u"び", "bi"}, {u"ぶ", "bu"}, {u"べ", "be"}, {u"ぼ", "bo"},
    {u"ぱ", "pa"}, {u"ぴ", "pi"}, {u"ぷ", "pu"}, {u"ぺ", "pe"}, {u"ぽ", "po"},
    {u"ゔ", "vu"},
    {u"ぁ", "xa la"}, {u"ぃ", "xi li"}, {u"ぅ", "xu lu"}, {u"ぇ", "xe le"}, {u"ぉ", "xo lo"},
    {u"ゃ", "xya lya"}, {u"ゅ", "xyu lyu"}, {u"ょ", "xyo lyo"}, {u"ゎ", "xwa lwa"},
    {u"っ", "xtsu xtu ltsu ltu"}, {u"ー", "-"},
    {u"きゃ", "kya"}, {u"きゅ", "kyu"}, {u"きょ", "kyo"},
    {u"ぎゃ", "gya"}, {u"ぎゅ", "gyu"}, {u"ぎょ", "gyo"},
    {u"しゃ", "sha sya"}, {u"しゅ", "shu syu"}, {u"しょ", "sho syo"}, {u"しぇ", "she sye"},
    {u"じゃ", "ja zya jya"}, {u"じゅ", "ju zyu jyu"}, {u"じょ", "jo zyo jyo"},
    {u"じぇ", "je zye jye"},
    {u"ちゃ", "cha tya cya"}, {u"ちゅ", "chu tyu cyu"}, {u"ちょ", "cho tyo cyo"},
    {u"ちぇ", "che tye cye"},
    {u"ぢゃ", "dya"}, {u"ぢゅ", "dyu"}, {u"ぢょ", "dyo"},
    {u"にゃ", "nya"}, {u"にゅ", "nyu"}, {u"にょ", "nyo"},
    {u"ひゃ", "hya"}, {u"ひゅ", "hyu"}, {u"ひょ", "hyo"},
    {u"びゃ", "bya"}, {u"びゅ", "byu"}, {u"びょ", "byo"},
    {u"ぴゃ", "pya"}, {u"ぴゅ", "pyu"}, {u"ぴょ", "pyo"},
    {u"みゃ", "mya"}, {u"みゅ", "myu"}, {u"みょ", "myo"},
    {u"りゃ", "rya"}, {u"りゅ", "ryu"}, {u"りょ", "ryo"},
    {u"ふぁ", "fa"}, {u"ふぃ", "fi"}, {u"ふぇ", "fe"}, {u"ふぉ", "fo"},
    {u"てぃ", "thi"}, {u"でぃ", "dhi"}, {u"でゅ", "dhu"}, {u"とぅ", "twu"},
    {u"うぃ", "wi"}, {u"うぇ", "we"}, {u"うぉ", "who"}, {u"つぁ", "tsa"},
    {u"ゔぁ", "va"}, {u"ゔぃ", "vi"}, {u"ゔぇ", "ve"}, {u"ゔぉ", "vo"},
};
// clang-format on

bool isVowel(QChar c) {
    return QStringLiteral("aiueo").contains(c);
}

// Matching typed romaji against a known reading, position by position, remembering the pairs
// of positions already found not to match.
class Speller {
public:
    Speller(QString romaji, QString kana)
        : romaji_(std::move(romaji)),
          kana_(std::move(kana)),
          failed_(size_t((romaji_.size() + 1) * (kana_.size() + 1)), 0) {}

    bool spells(qsizetype r, qsizetype k) {
        if (k == kana_.size()) {
            return r == romaji_.size();
        }
        if (r == romaji_.size()) {
            return false;
        }
        char& failed = failed_[size_t(r * (kana_.size() + 1) + k)];
        if (failed) {
            return false;
        }
        if (tryAt(r, k)) {
            return true;
        }
        failed = 1;
        return false;
    }

private:
    bool tryAt(qsizetype r, qsizetype k) {
        const QStringView rest = QStringView(romaji_).sliced(r);
        const QChar kana = kana_[k];
        if (kana == u' ' || kana == u'、' || kana == u'。') {
            const QChar same = kana == u'、' ? u',' : kana == u'。' ? u'.' : u' ';
            return rest.front() == same && spells(r + 1, k + 1);
        }
        if (kana == u'ん') {
            // n before a consonant or at the end; nn and n' anywhere; m before b, m and p.
            if (rest.startsWith(u"nn") && spells(r + 2, k + 1)) {
                return true;
            }
            if (rest.startsWith(u"n'") && spells(r + 2, k + 1)) {
                return true;
            }
            const QChar next = rest.size() > 1 ? rest[1] : QChar();
            const bool beforeConsonant = next.isNull() || (!isVowel(next) && next != u'y');
            if (rest.front() == u'n' && beforeConsonant && spells(r + 1, k + 1)) {
                return true;
            }
            if (rest.front() == u'm' && (next == u'b' || next == u'm' || next == u'p') &&
                spells(r + 1, k + 1)) {
                return true;
            }
        }
        if (kana == u'っ' && rest.size() > 1) {
            // The next kana's consonant doubled, or t before ch.
            const QChar c = rest.front();
            const bool doubled = c == rest[1] && c.isLetter() && !isVowel(c) && c != u'n';
            if ((doubled || rest.startsWith(u"tch")) && spells(r + 1, k + 1)) {
                return true;
            }
        }
        const QStringView kanaRest = QStringView(kana_).sliced(k);
        for (const Spelling& spelling : kSpellings) {
            const QStringView unit(spelling.kana);
            if (!kanaRest.startsWith(unit)) {
                continue;
            }
            for (const QByteArray& way : QByteArray(spelling.romaji).split(' ')) {
                if (rest.startsWith(QLatin1StringView(way)) &&
                    spells(r + way.size(), k + unit.size())) {
                    return true;
                }
            }
        }
        return false;
    }

    QString romaji_;
    QString kana_;
    std::vector<char> failed_;
};

}  // namespace

QString hiraganaForm(QStringView text) {
    QString form = text.toString().normalized(QString::NormalizationForm_KC);
    for (QChar& c : form) {
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6) {
            c = QChar(c.unicode() - 0x60);
        }
    }
    return form;
}

bool isKanaReading(QStringView hiragana) {
    for (const QChar c : hiragana) {
        const char16_t u = c.unicode();
        if (!((u >= 0x3041 && u <= 0x3096) || u == u'ー' || u == u' ' || u == u'、' ||
              u == u'。')) {
            return false;
        }
    }
    return !hiragana.trimmed().isEmpty();
}

bool romajiSpells(QStringView romaji, QStringView hiragana) {
    const QString typed =
        romaji.toString().normalized(QString::NormalizationForm_KC).trimmed().toCaseFolded();
    const QString kana = hiraganaForm(hiragana).trimmed();
    if (typed.isEmpty() || !isKanaReading(kana)) {
        return false;
    }
    return Speller(typed, kana).spells(0, 0);
}

}  // namespace drill
