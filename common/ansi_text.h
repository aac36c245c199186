// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text in the system's ANSI code page: Shift_JIS (Windows code page 932) everywhere but on
// Windows, where the system's own ANSI conversion is used, as the Windows programs do.
namespace common {

// Never fails: bytes that are not Shift_JIS still decode to some character, so that a damaged
// word file always opens.
QString decodeAnsi(QByteArrayView bytes);
// The same into `text`, reusing its storage: for converting a large file piece by piece.
void decodeAnsi(QByteArrayView bytes, QString& text);

// Characters the code page cannot represent are written as '?'.
QByteArray encodeAnsi(QStringView text);

// The text as a word file would hold it: written in the code page and read back. Several
// characters are stored as a neighbour (U+301C as U+FF5E, U+2212 as U+FF0D, ...), so this is
// what a drill asks and judges. Characters the code page cannot store at all are kept as they
// are, since a word file read as UTF-8 can hold them.
QString storedForm(QStringView text);
// Whether storedForm(text) is the text itself: a table lookup per UTF-16 unit.
bool storedAsItself(QStringView text);

// The distinct characters of text that the code page cannot represent, in order of first
// appearance; empty when the whole text can be stored.
QString unrepresentableChars(QStringView text);

}  // namespace common
