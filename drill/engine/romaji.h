// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

namespace drill {

// Kana as hiragana: width folded (NFKC), katakana turned into hiragana; other characters kept.
QString hiraganaForm(QStringView text);

// True when text holds only hiragana, the long-vowel mark and blanks: a reading we can spell.
bool isKanaReading(QStringView hiragana);

// True when romaji, as typed with the input method off, spells the hiragana reading: Hepburn
// and the spellings input methods take (shi or si, chi or ti, tsu or tu, fu or hu, ji or zi,
// n, nn or n' for ん, m before b, m or p, a doubled consonant for っ, x or l before a small
// kana, "-" for ー). Letter case and width are folded.
bool romajiSpells(QStringView romaji, QStringView hiragana);

}  // namespace drill
