// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "common/ansi_text.h"
#include "common/entry_text.h"
#include "drill/engine/answer_check.h"
#include "drill/engine/answer_difference.h"
#include "drill/engine/compared_forms.h"
#include "drill/engine/edit_distance.h"
#include "drill/engine/judging.h"
#include "drill/engine/romaji.h"

using namespace Qt::StringLiterals;

namespace drill {
namespace {

// One typed answer against an entry's right answers, in a word file whose other entries have
// the answers of kFile.
//   rights   the entry's right answers, joined by "|"
//   options  L lenient, P parentheses optional, T placeholder optional, R near miss retried,
//            A near miss accepted
//   verdict  o right, o~ right by the lenient rule, o? near miss accepted, x wrong,
//            x? wrong but a near miss, retry, on / off: the input method seems on / off
//   marks    the typed answer against the closest right answer: a plain character is the
//            same, [a/b] a typed for b, [+a] a typed too much, [-b] b missing; "" when no
//            difference is shown
//   slips    lr bv ths vowel double, in that order
struct Row {
    const char* rights;
    const char* typed;
    const char* options;
    const char* verdict;
    const char* marks;
    const char* slips;
};

const QStringList kFile{u"life"_s,  u"collect"_s, u"sing"_s, u"vest"_s,
                        u"berry"_s, u"りんご"_s,  u"walk"_s};

// clang-format off
const Row kRows[] = {
    // English spelling slips: l and r
    {"rice", "lice", "", "x", "[l/r]ice", "lr"},  // life is in the file
    {"light", "right", "", "x?", "[r/l]ight", "lr"},
    {"correct", "collect", "", "x", "co[l/r][l/r]ect", "lr"},  // collect is in the file
    {"fly", "fry", "", "x", "f[r/l]y", "lr"},
    {"library", "rivrary", "", "x?", "[r/l]i[v/b]rary", "lr bv"},
    {"world", "wolrd", "", "x?", "wo[l/r][r/l]d", ""},
    {"Lemon", "remon", "L", "x?", "[r/L]emon", "lr"},
    {"already", "arleady", "", "x?", "a[r/l][l/r]eady", ""},
    // b and v
    {"vote", "bote", "", "x?", "[b/v]ote", "bv"},
    {"very", "bery", "", "x", "[b/v]ery", "bv"},  // berry is in the file
    {"ball", "vall", "", "x?", "[v/b]all", "bv"},
    {"government", "goberment", "", "x?", "go[b/v]er[-n]ment", "bv"},
    {"vivid", "bibid", "", "x", "[b/v]i[b/v]id", "bv"},
    {"best", "vest", "", "x", "[v/b]est", "bv"},  // vest is in the file
    {"best", "pest", "", "x", "[p/b]est", ""},     // and as close as best
    // th and s
    {"think", "sink", "", "x", "[s/t][-h]ink", "ths"},
    {"mouth", "mous", "", "x", "mou[s/t][-h]", "ths"},
    {"theater", "seater", "", "x?", "[s/t][-h]eater", "ths"},
    {"sink", "think", "", "x", "[t/s][+h]ink", "ths"},
    {"birthday", "birsday", "", "x?", "bir[s/t][-h]day", "ths"},
    // a vowel added after a final consonant
    {"desk", "desku", "", "x?", "desk[+u]", "vowel"},
    {"bed", "bedo", "", "x", "bed[+o]", "vowel"},
    {"good morning", "goodo morning", "", "x?", "good[+o] morning", "vowel"},
    {"bus", "basu", "", "x", "b[a/u]s[+u]", "vowel"},
    {"bag", "baggu", "", "x", "bag[+g][+u]", "vowel double"},
    {"milk", "miruku", "", "x", "mi[r/l][+u]k[+u]", "lr vowel"},
    {"hat", "hata", "", "x", "hat[+a]", "vowel"},
    {"sea", "seaa", "", "x", "sea[+a]", ""},  // no consonant before it
    // a doubled or single consonant
    {"committee", "comitee", "", "x?", "com[-m]i[-t]tee", "double"},
    {"necessary", "neccessary", "", "x?", "nec[+c]essary", "double"},
    {"apple", "aple", "", "x?", "ap[-p]le", "double"},
    {"cut", "cutt", "", "x", "cut[+t]", "double"},
    {"room", "rooom", "", "x?", "roo[+o]m", ""},  // a vowel is no consonant
    {"until", "untill", "", "x?", "until[+l]", "double"},
    // other misspellings carry no label
    {"receive", "recieve", "", "x?", "rec[i/e][e/i]ve", ""},
    {"write", "rite", "", "x?", "[-w]rite", ""},
    {"knife", "nife", "", "x", "[-k]nife", ""},  // as close as life
    {"Wednesday", "Wensday", "", "x?", "We[-d]n[-e]sday", ""},
    {"restaurant", "restrant", "", "x?", "rest[-a][-u]rant", ""},
    {"live", "life", "", "x", "li[f/v]e", ""},  // life is a word of the file
    {"walk", "wakl", "", "x?", "wa[k/l][l/k]", ""},  // the same answer elsewhere does not count
    {"sang", "sing", "", "x", "s[i/a]ng", ""},  // sing is in the file
    {"sang", "sung", "", "x", "s[u/a]ng", ""},  // and as close as sang
    // near-miss distance by the right answer's length
    {"cat", "cot", "", "x", "c[o/a]t", ""},
    {"cat", "cats", "", "x", "cat[+s]", ""},
    {"cats", "cat", "", "x?", "cat[-s]", ""},
    {"blue", "blua", "", "x?", "blu[a/e]", ""},
    {"blue", "bxua", "", "x", "b[x/l]u[a/e]", ""},
    {"house", "huose", "", "x?", "h[u/o][o/u]se", ""},
    {"house", "hxusx", "", "x", "h[x/o]us[x/e]", ""},
    {"garden", "gerdin", "", "x?", "g[e/a]rd[i/e]n", ""},
    {"garden", "gxrdxx", "", "x", "g[x/a]rd[x/e][x/n]", ""},
    {"example", "exampel", "", "x?", "examp[e/l][l/e]", ""},
    {"example", "egzample", "", "x?", "e[g/x][+z]ample", ""},
    {"example", "igzampel", "", "x", "[i/e][g/x][+z]amp[e/l][l/e]", ""},
    {"elephant", "elefent", "", "x?", "ele[f/p][-h][e/a]nt", ""},
    {"elephant", "alefint", "", "x", "[a/e]le[f/p][-h][i/a]nt", ""},
    {"international", "intanatinal", "", "x?", "int[a/e][-r]nati[-o]nal", ""},
    {"international", "intanashonal", "", "x", "int[a/e][-r]na[s/t][h/i]onal", ""},
    {"international", "intanashonar", "", "x", "int[a/e][-r]na[s/t][h/i]ona[r/l]", "lr"},
    {"responsibility", "risponsibiliti", "", "x?", "r[i/e]sponsibilit[i/y]", ""},
    {"responsibility", "risponsibirity", "", "x?", "r[i/e]sponsibi[r/l]ity", "lr"},
    // the closest right answer, the first of equally close ones
    {"bat|cat", "hat", "", "x", "[h/b]at", ""},
    {"cat|bat", "hat", "", "x", "[h/c]at", ""},
    {"receipt|receive", "recieve", "", "x?", "rec[i/e][e/i]ve", ""},
    {"run|(to) run", "runn", "", "x", "run[+n]", "double"},
    {"りんご|apple", "aple", "", "x?", "ap[-p]le", "double"},
    {"apple|りんご", "ringo", "", "x", "[r/a][i/p][n/p][g/l][o/e]", ""},
    {"give up|abandon", "abandan", "", "x?", "aband[a/o]n", ""},
    {"big|large|huge", "lage", "", "x?", "la[-r]ge", ""},
    {"big|large|huge", "hug", "", "x?", "hug[-e]", ""},
    // near misses retried, accepted or only marked; Japanese never
    {"receive", "recieve", "R", "retry", "rec[i/e][e/i]ve", ""},
    {"receive", "recieve", "A", "o?", "rec[i/e][e/i]ve", ""},
    {"receive", "Recieve", "LA", "o?", "[R/r]ec[i/e][e/i]ve", ""},
    {"receive", "Recieve", "LR", "retry", "[R/r]ec[i/e][e/i]ve", ""},
    {"receive", "recxxxe", "A", "x", "rec[x/e][x/i][x/v]e", ""},
    {"light", "right", "A", "o?", "[r/l]ight", "lr"},
    {"light", "right", "R", "retry", "[r/l]ight", "lr"},
    {"live", "life", "A", "x", "li[f/v]e", ""},
    {"cat", "cot", "A", "x", "c[o/a]t", ""},
    {"はし", "ばし", "A", "x", "[ば/は]し", ""},
    {"desk", "desku", "R", "retry", "desk[+u]", "vowel"},
    {"apple", "apple", "A", "o", "", ""},
    {"1984", "1948", "A", "x", "19[4/8][8/4]", ""},
    {"Windows 95", "Windows 98", "A", "x", "Windows 9[8/5]", ""},
    {"Windows 95", "Windos 95", "A", "o?", "Windo[-w]s 95", ""},
    {"apple", "", "A", "x", "[-a][-p][-p][-l][-e]", ""},
    {"apple", " apple", "A", "o?", "[+ ]apple", ""},
    // exact and lenient judging: width, case and blanks
    {"apple", "apple", "", "o", "", ""},
    {"apple", "Apple", "", "x?", "[A/a]pple", ""},
    {"apple", "Apple", "L", "o~", "[A/a]pple", ""},
    {"apple", "APPLE", "L", "o~", "[A/a][P/p][P/p][L/l][E/e]", ""},
    {"apple", "ＡＰＰＬＥ", "L", "o~", "[Ａ/a][Ｐ/p][Ｐ/p][Ｌ/l][Ｅ/e]", ""},
    {"apple", "ａｐｐｌｅ", "", "x", "[ａ/a][ｐ/p][ｐ/p][ｌ/l][ｅ/e]", ""},
    {"apple", " apple ", "L", "o~", "[+ ]apple[+ ]", ""},
    {"apple", "apple　", "L", "o~", "apple[+　]", ""},
    {"apple", "app le", "L", "x?", "app[+ ]le", ""},
    {"New York", "new york", "L", "o~", "[n/N]ew [y/Y]ork", ""},
    {"New York", "new york", "", "x?", "[n/N]ew [y/Y]ork", ""},
    {"New York", "newyork", "L", "x?", "[n/N]ew[- ][y/Y]ork", ""},
    {"apple|APPLE", "APPLE", "", "o", "", ""},
    {"APPLE|apple", "apple", "L", "o", "", ""},
    {"ガス", "ｶﾞｽ", "L", "o~", "[ｶﾞ/ガ][ｽ/ス]", ""},
    {"ガス", "ｶﾞｽ", "", "x", "[ｶﾞ/ガ][ｽ/ス]", ""},
    {"ｶﾞｽ", "ガス", "L", "o~", "[ガ/ｶﾞ][ス/ｽ]", ""},
    {"がす", "ガス", "L", "x", "[ガ/が][ス/す]", ""},
    {"１２３", "123", "L", "o~", "[1/１][2/２][3/３]", ""},
    {"café", "Café", "L", "o~", "[C/c]afé", ""},
    {"Ｔシャツ", "Tシャツ", "L", "o~", "[T/Ｔ]シャツ", ""},
    {"～を見る", "〜を見る", "", "o", "", ""},
    {"apple", "　", "L", "x", "[-a][-p][-p][-l][　/e]", ""},
    {"apple", "", "L", "x", "[-a][-p][-p][-l][-e]", ""},
    // Japanese minimal pairs stay wrong, whatever the options
    {"はし", "ぱし", "LA", "x", "[ぱ/は]し", ""},
    {"はし", "ハシ", "LA", "x", "[ハ/は][シ/し]", ""},
    {"きって", "きつて", "LA", "x", "き[つ/っ]て", ""},
    {"びょういん", "びよういん", "LA", "x", "び[よ/ょ]ういん", ""},
    {"いしゃ", "いしや", "LA", "x", "いし[や/ゃ]", ""},
    {"会う", "合う", "LA", "x", "[合/会]う", ""},
    {"ハート", "ハード", "LA", "x", "ハー[ド/ト]", ""},
    {"バス", "パス", "LA", "x", "[パ/バ]ス", ""},
    {"ﾊﾞｽ", "ﾊﾟｽ", "LA", "x", "[ﾊﾟ/ﾊﾞ]ｽ", ""},
    {"バス", "ﾊﾞｽ", "LA", "o~", "[ﾊﾞ/バ][ｽ/ス]", ""},
    {"バス", "ﾊﾟｽ", "LA", "x", "[ﾊﾟ/バ][ｽ/ス]", ""},
    {"がっこう", "かっこう", "LA", "x", "[か/が]っこう", ""},
    {"がっこう", "か\u3099っこう", "L", "o~", "[か\u3099/が]っこう", ""},
    {"がっこう", "か\u3099っこう", "", "x", "[か\u3099/が]っこう", ""},
    {"おばさん", "おばあさん", "LA", "x", "おば[+あ]さん", ""},
    {"きて", "きって", "LA", "x", "き[+っ]て", ""},
    {"じゆう", "じゅう", "LA", "x", "じ[ゅ/ゆ]う", ""},
    {"ビル", "ビール", "LA", "x", "ビ[+ー]ル", ""},
    {"りんご|apple", "りんこ", "A", "x", "りん[こ/ご]", ""},
    {"見る", "診る", "LA", "x", "[診/見]る", ""},
    {"東京", "東京", "A", "o", "", ""},
    {"とうきょう", "ときょう", "LA", "x", "と[-う]きょう", ""},
    // the input method on where every right answer is in Latin letters
    {"apple", "あっぷる", "", "on", "", ""},
    {"apple", "アップル", "L", "on", "", ""},
    {"apple|red apple", "りんご", "A", "on", "", ""},
    {"apple", "林檎", "", "on", "", ""},
    {"apple", "ｱｯﾌﾟﾙ", "", "on", "", ""},
    {"apple", "aっぷる", "", "on", "", ""},
    {"apple|りんご", "あっぷる", "", "x", "[あ/り][っ/ん][ぷ/ご][+る]", ""},
    {"apple|りんご", "りんご", "", "o", "", ""},
    {"apple", "ａｐｐｌｅ", "A", "x", "[ａ/a][ｐ/p][ｐ/p][ｌ/l][ｅ/e]", ""},
    {"apple", "?", "", "x", "[-a][-p][-p][-l][?/e]", ""},
    // the input method off where every right answer is in Japanese: romaji, every kana row
    {"りんご", "ringo", "", "off", "", ""},
    {"りんご", "ringo", "A", "off", "", ""},
    {"りんご", "ＲＩＮＧＯ", "", "off", "", ""},
    {"りんご", " ringo ", "L", "off", "", ""},
    {"リンゴ", "ringo", "", "off", "", ""},
    // every kana row in one word each, in Hepburn, then in the other spellings input methods take
    {"あいうえおかきくけこさしすせそたちつてと", "aiueokakikukekosashisusesotachitsuteto", "", "off", "", ""},
    {"なにぬねのはひふへほまみむめもやゆよらりるれろ", "naninunenohahifuhehomamimumemoyayuyorarirurero", "", "off", "", ""},
    {"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ", "gagigugegozajizuzezodadidudedobabibubebopapipupepo", "", "off", "", ""},
    {"きゃきゅきょしゃしゅしょちゃちゅちょじゃじゅじょにゃにゅにょ", "kyakyukyoshashushochachuchojajujonyanyunyo", "", "off", "", ""},
    {"ひゃひゅひょみゃみゅみょりゃりゅりょぎゃぎゅぎょびゃびゅびょぴゃぴゅぴょ", "hyahyuhyomyamyumyoryaryuryogyagyugyobyabyubyopyapyupyo", "", "off", "", ""},
    {"かきくけこさしすせそたちつてとはひふへほ", "cakiqukecosasisusesotatitutetohahihuheho", "", "off", "", ""},
    {"ざじずぜぞだぢづでどしゃしゅしょちゃちゅちょじゃじゅじょ", "zazizuzezodajizudedosyasyusyotyatyutyozyazyuzyo", "", "off", "", ""},
    {"ぁぃぅぇぉゃゅょっゎぁぃぅぇぉ", "xaxixuxexoxyaxyuxyoxtuxwalalilulelo", "", "off", "", ""},
    {"わをん", "wawon", "", "off", "", ""},
    {"わをん", "wawonn", "", "off", "", ""},
    {"わをん", "waon", "", "off", "", ""},
    {"きって", "kitte", "", "off", "", ""},
    {"まっちゃ", "matcha", "", "off", "", ""},
    {"まっちゃ", "maccha", "", "off", "", ""},
    {"ざっし", "zasshi", "", "off", "", ""},
    {"こんにちは", "konnichiha", "", "off", "", ""},
    {"こんにちは", "konnnichiha", "", "off", "", ""},
    {"きんえん", "kin'en", "", "off", "", ""},
    {"きんえん", "kinnen", "", "off", "", ""},
    {"きんえん", "kinen", "", "x", "[+k][i/き][n/ん][e/え][n/ん]", ""},
    {"しんぶん", "shimbun", "", "off", "", ""},
    {"せんぱい", "sempai", "", "off", "", ""},
    {"ほんや", "honya", "", "x", "[+h][+o][n/ほ][y/ん][a/や]", ""},
    {"ほんや", "hon'ya", "", "off", "", ""},
    {"ほんや", "honnya", "", "off", "", ""},
    {"テレビ", "terebi", "", "off", "", ""},
    {"ﾃﾚﾋﾞ", "terebi", "", "off", "", ""},
    {"コーヒー", "ko-hi-", "", "off", "", ""},
    {"ヴァイオリン", "vaiorin", "", "off", "", ""},
    {"ファイル", "fairu", "", "off", "", ""},
    {"パーティー", "pa-thi-", "", "off", "", ""},
    {"ウィンドウ", "windou", "", "off", "", ""},
    {"りんご|林檎", "ringa", "", "off", "", ""},
    {"林檎", "ringo", "", "off", "", ""},
    {"林檎", "apple", "", "off", "", ""},
    {"お茶", "ocha", "", "off", "", ""},
    {"りんご", "ringa", "", "x", "[+r][+i][n/り][g/ん][a/ご]", ""},
    {"りんご", "apple", "", "x", "[+a][+p][p/り][l/ん][e/ご]", ""},
    {"とうきょう", "tokyo", "", "x", "[t/と][o/う][k/き][y/ょ][o/う]", ""},
    {"りんご|apple", "ringo", "", "x", "[+r][+i][n/り][g/ん][o/ご]", ""},
    {"りんご", "ringo1", "", "x", "[+r][+i][+n][g/り][o/ん][1/ご]", ""},
    // optional parts in parentheses
    {"(to) run", "run", "LP", "o~", "[-(][-t][-o][-)][- ]run", ""},
    {"(to) run", "to run", "LP", "o~", "[-(]to[-)] run", ""},
    {"(to) run", "(to) run", "LP", "o", "", ""},
    {"(to) run", "To Run", "LP", "o~", "[-(][T/t]o[-)] [R/r]un", ""},
    {"(to) run", "run", "L", "x", "[-(][-t][-o][-)][- ]run", ""},
    {"(to) run", "run", "P", "x", "[-(][-t][-o][-)][- ]run", ""},
    {"(to) run", "to  run", "LP", "x?", "[-(]to[ /)] run", ""},
    {"(to) run", "torun", "LP", "x?", "[-(]to[-)][- ]run", ""},
    {"(to) run", "ran", "LP", "x", "[-(][-t][-o][-)][- ]r[a/u]n", ""},
    {"（お）茶", "茶", "LP", "o~", "[-（][-お][-）]茶", ""},
    {"（お）茶", "お茶", "LP", "o~", "[-（]お[-）]茶", ""},
    {"（お）茶", "(お)茶", "LP", "o~", "[(/（]お[)/）]茶", ""},
    {"（お）茶", "（お）茶", "P", "o", "", ""},
    {"（お）茶", "お", "LP", "x", "[-（]お[-）][-茶]", ""},
    {"run (away)", "run", "LP", "o~", "run[- ][-(][-a][-w][-a][-y][-)]", ""},
    {"run (away)", "run away", "LP", "o~", "run [-(]away[-)]", ""},
    {"a (big) (red) ball", "a ball", "LP", "o~", "a [-(][-b][-i][-g][-)][- ][-(][-r][-e][-d][-)][- ]ball", ""},
    {"a (big) (red) ball", "a big ball", "LP", "o~", "a [-(]big[-)][- ][-(][-r][-e][-d][-)] ball", ""},
    {"a (big) (red) ball", "a red ball", "LP", "o~", "a [-(][-b][-i][-g][-)][- ][-(]red[-)] ball", ""},
    {"a (big) (red) ball", "a big red ball", "LP", "o~", "a [-(]big[-)] [-(]red[-)] ball", ""},
    {"a (big) (red) ball", "a bigred ball", "LP", "x", "a [-(]big[-)][- ][-(]red[-)] ball", ""},
    {"(to run", "to run", "LP", "x?", "[-(]to run", ""},
    {"to) run", "to run", "LP", "x?", "to[-)] run", ""},
    {"(a (b)) c", "c", "LP", "o~", "[-(][-a][- ][-(][-b][-)][-)][- ]c", ""},
    {"(a (b)) c", "a (b) c", "LP", "o~", "[-(]a (b[-)]) c", ""},
    {"(a (b)) c", "a b c", "LP", "x", "[-(]a [-(]b[-)][-)] c", ""},
    {"look (at)|see", "look", "LP", "o~", "look[- ][-(][-a][-t][-)]", ""},
    {"see|look (at)", "look at", "LP", "o~", "look [-(]at[-)]", ""},
    // an optional placeholder
    {"～を見る", "を見る", "LT", "o~", "[-～]を見る", ""},
    {"～を見る", "～を見る", "LT", "o", "", ""},
    {"～を見る", "~を見る", "LT", "o~", "[~/～]を見る", ""},
    {"～を見る", "見る", "LT", "x", "[-～][-を]見る", ""},
    {"～を見る", "を見る", "L", "x", "[-～]を見る", ""},
    {"～を見る", "を見る", "T", "x", "[-～]を見る", ""},
    {"～を見る", "をみる", "LT", "x", "[-～]を[み/見]る", ""},
    {"〜を見る", "を見る", "LT", "o~", "[-～]を見る", ""},
    {"be fond of ~", "be fond of", "LT", "o~", "be fond of[- ][-~]", ""},
    {"be fond of ~", "be fond of ~", "LT", "o", "", ""},
    {"be fond of ~", "be fond of~", "LT", "x?", "be fond of[- ]~", ""},
    {"be fond of ~", "be fond", "LT", "x", "be fond[- ][-o][-f][- ][-~]", ""},
    {"look ~ up", "look up", "LT", "o~", "look [-~][- ]up", ""},
    {"look ~ up", "lookup", "LT", "x?", "look[- ][-~][- ]up", ""},
    {"~", "~", "LT", "o", "", ""},
    {"~", "", "LT", "x", "[-~]", ""},
    {"～(を)見る", "見る", "LPT", "o~", "[-～][-(][-を][-)]見る", ""},
    {"～(を)見る", "を見る", "LPT", "o~", "[-～][-(]を[-)]見る", ""},
    {"～(を)見る", "見る", "LT", "x", "[-～][-(][-を][-)]見る", ""},
    {"(to) ~", "to", "LPT", "o~", "[-(]to[-)][- ][-~]", ""},
    {"(to) ~", "~", "LPT", "o~", "[-(][-t][-o][-)][- ]~", ""},
    // user-perceived characters: combining marks and surrogate pairs are one each
    {"café", "cafe", "", "x?", "caf[e/é]", ""},
    {"café", "cafe\u0301", "", "x?", "caf[e\u0301/é]", ""},
    {"café", "cafe\u0301", "L", "o~", "caf[e\u0301/é]", ""},
    {"cafe", "cafe\u0301", "", "x?", "caf[e\u0301/e]", ""},
    {"naïve", "naive", "", "x?", "na[i/ï]ve", ""},
    {"résumé", "resume", "", "x?", "r[e/é]sum[e/é]", ""},
    {"résumé", "resume", "L", "x?", "r[e/é]sum[e/é]", ""},
    {"𠮟る", "叱る", "", "x", "[叱/𠮟]る", ""},
    {"𠮟る", "𠮟", "", "x", "𠮟[-る]", ""},
    {"𠮟る", "𠮟る", "", "o", "", ""},
    {"𠮟る", "る𠮟", "", "x", "[る/𠮟][𠮟/る]", ""},
    {"🍎", "🍏", "", "x", "[🍏/🍎]", ""},
    {"🍎|apple", "🍎", "", "o", "", ""},
    {"👍🏽", "👍", "", "x", "[👍/👍🏽]", ""},
    {"👨‍👩‍👧", "👨‍👩", "", "x", "[👨‍👩/👨‍👩‍👧]", ""},
    {"a🍎b", "ab", "", "x", "a[-🍎]b", ""},
    {"apple🍎", "aple🍎", "", "x?", "ap[-p]le🍎", "double"},
    {"𝐁ook", "book", "L", "o~", "[b/𝐁]ook", ""},
    {"𝐁ook", "book", "", "x?", "[b/𝐁]ook", ""},
    {"line\r\nbreak", "line\nbreak", "", "x?", "line[\n/\r\n]break", ""},
    // of equally short scripts, a run of missing or extra characters kept whole
    {"abcabc", "xabcx", "", "x", "[-a][-b][x/c]abc[+x]", ""},
    {"xabcx", "abcabc", "", "x", "[-x]abc[+a][+b][c/x]", ""},
};
// clang-format on

CheckOptions optionsOf(const QString& letters) {
    CheckOptions options;
    options.lenient = letters.contains(u'L');
    options.optionalParentheses = letters.contains(u'P');
    options.optionalPlaceholder = letters.contains(u'T');
    options.nearMiss = letters.contains(u'R')   ? NearMissRule::Retry
                       : letters.contains(u'A') ? NearMissRule::Accept
                                                : NearMissRule::Off;
    return options;
}

QString verdictOf(const AnswerCheck& check) {
    if (check.inputMode != InputModeSlip::None) {
        return check.inputMode == InputModeSlip::KanaOn ? u"on"_s : u"off"_s;
    }
    if (check.retry) {
        return u"retry"_s;
    }
    if (check.judgement.right) {
        return check.nearMiss ? u"o?"_s : check.judgement.lenient ? u"o~"_s : u"o"_s;
    }
    return check.nearMiss ? u"x?"_s : u"x"_s;
}

QString marksOf(const AnswerDifference& difference) {
    QString text;
    for (const CharMark& mark : difference.marks) {
        switch (mark.kind) {
            case CharMark::Kind::Same:
                text += mark.typed;
                break;
            case CharMark::Kind::Wrong:
                text += u'[' + mark.typed + u'/' + mark.right + u']';
                break;
            case CharMark::Kind::Extra:
                text += u"[+"_s + mark.typed + u']';
                break;
            case CharMark::Kind::Missing:
                text += u"[-"_s + mark.right + u']';
                break;
        }
    }
    return text;
}

QString slipsOf(const QList<SlipKind>& slips) {
    static const char* const names[] = {"lr", "bv", "ths", "vowel", "double"};
    QStringList words;
    for (const SlipKind kind : slips) {
        words.append(QString::fromLatin1(names[int(kind)]));
    }
    return words.join(u' ');
}

TEST(AnswerCheck, Table) {
    // The file's other answers given as a list, and split from its entries (two answers to an
    // entry) when a near miss first needs them.
    QList<common::Entry> entries;
    for (qsizetype i = 0; i < kFile.size(); i += 2) {
        entries.append({QString(), common::joinRights(kFile.mid(i, 2)), QString()});
    }
    for (const OtherAnswers& file : {OtherAnswers(kFile), OtherAnswers::ofEntries(entries)}) {
        for (const Row& row : kRows) {
            const QStringList rights = QString::fromUtf8(row.rights).split(u'|');
            const QString typed = QString::fromUtf8(row.typed);
            const CheckOptions options = optionsOf(QString::fromLatin1(row.options));
            SCOPED_TRACE(QStringLiteral("%1 / %2 / %3")
                             .arg(row.rights, row.typed, row.options)
                             .toStdString());
            const AnswerCheck check = checkAnswer(typed, rights, file, options);
            // With every option at its default the verdict is the plain rule's.
            const Judgement plain = checkAnswer(typed, rights, file, {}).judgement;
            const Judgement rule = judgeAnswer(typed, rights, false);
            EXPECT_EQ(plain.right, rule.right);
            EXPECT_EQ(plain.lenient, rule.lenient);
            EXPECT_EQ(plain.rightAnswer, rule.rightAnswer);
            EXPECT_EQ(verdictOf(check), QString::fromUtf8(row.verdict));
            EXPECT_EQ(marksOf(check.difference), QString::fromUtf8(row.marks));
            EXPECT_EQ(slipsOf(check.slips), QString::fromUtf8(row.slips));
            if (!check.judgement.right) {
                continue;
            }
            ASSERT_FALSE(rights.isEmpty());
            EXPECT_TRUE(rights.contains(check.judgement.rightAnswer));
        }
    }
}

// The words a screen reader says, counting the typed answer's user-perceived characters.
TEST(AnswerDifference, SpokenForAScreenReader) {
    const struct {
        QString typed;
        QString right;
        QString spoken;
    } table[] = {
        {u"recieve"_s, u"receive"_s, u"4 文字目: i ではなく e、5 文字目: e ではなく i"_s},
        {u"aple"_s, u"apple"_s, u"3 文字目: p が抜けている"_s},
        {u"desku"_s, u"desk"_s, u"5 文字目: u は余分"_s},
        {u"new  york"_s, u"new york"_s, u"5 文字目: 空白 は余分"_s},
        {u"𠮟れ"_s, u"𠮟る"_s, u"2 文字目: れ ではなく る"_s},
        {u"cafe\u0301s"_s, u"cafes"_s, u"4 文字目: e\u0301 ではなく e"_s},
        {u""_s, u"ab"_s, u"1 文字目: a が抜けている、1 文字目: b が抜けている"_s},
        {u"apple"_s, u"apple"_s, u""_s},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.typed.toStdString());
        EXPECT_EQ(spokenDifference(differenceToClosest(row.typed, {row.right})), row.spoken);
    }
}

// ASCII, taken without conversions, in the same forms as any other text: every ASCII character,
// blanks and control characters at either end, upper case; beside texts that are not ASCII.
TEST(ComparedForms, AsciiAsAnyText) {
    QString everyAscii;
    for (char16_t c = 0; c < 0x80; ++c) {
        everyAscii += QChar(c);
    }
    for (const QString& text :
         {everyAscii, u"  Run Fast\t\r\n"_s, u"\v\f\x1f(to) RUN~ \x1c"_s, u"123"_s, u" - "_s, u""_s,
          u"ＲＵＮ"_s, u" Straße\u3000"_s, u"\u00a0Run½"_s, u"〜を見る"_s, u"りんご"_s}) {
        SCOPED_TRACE(text.toStdString());
        const ComparedForms forms = comparedForms(text);
        EXPECT_EQ(forms.stored, common::storedForm(text));
        EXPECT_EQ(forms.folded, lenientForm(common::storedForm(text)));
        EXPECT_EQ(foldedForm(text), forms.folded);
        EXPECT_EQ(forms.script, common::textScript(text));
    }
}

// The bit-parallel distance (and the row-by-row one beyond 64 characters) against the length
// of the edit script read from the full table, the limit honoured, and the script read from the
// bit vectors (up to 64 characters on either side) the same as the one read from the full table:
// random texts of few letters (many equally short scripts), and crafted ones at the edges.
TEST(AnswerDifference, DistanceAgreesWithTheEditScript) {
    QRandomGenerator random(28);
    const QString letters = u"abcあé"_s;
    const auto text = [&] {
        QString t;
        for (int n = int(random.bounded(80)); n > 0; --n) {
            t += letters[random.bounded(random.bounded(2) == 0 ? 3 : 5)];
        }
        return t;
    };
    const QString ab = u"ab"_s.repeated(32);
    const QString ba = u"ba"_s.repeated(32);
    QList<std::pair<QString, QString>> pairs{
        {u""_s, u"abc"_s},          {u"abc"_s, u""_s},    {ab, ba},
        {ab + u"a"_s, ba},          {ba, ab + u"b"_s},    {u"a"_s.repeated(64), ab},
        {u"x"_s + ab, ab + u"x"_s}, {ab.repeated(3), ba}, {u"abcd"_s, u"bacd"_s.repeated(20)},
        {u"xby"_s, u"xcby"_s},
    };
    for (int pair = 0; pair < 300; ++pair) {
        pairs.append({text(), text()});
    }
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE((first + u" / "_s + second).toStdString());
        const CharKeys a = charKeys(first);
        const CharKeys b = charKeys(second);
        const QList<EditStep> steps = editSteps(a, b);
        EXPECT_EQ(steps, editStepsByWholeTable(a, b));
        const int script = int(std::count_if(steps.begin(), steps.end(),
                                             [](EditStep step) { return step != EditStep::Same; }));
        const DistanceFrom from(a);
        EXPECT_EQ(from.to(b, 200), script);
        EXPECT_EQ(from.to(b, script), script);
        if (script > 0) {
            EXPECT_EQ(from.to(b, script - 1), script);
        }
    }
}

}  // namespace
}  // namespace drill
