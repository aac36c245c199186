// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QPainter;

// Qt's PDF writer maps a glyph back to text only through code points below U+10000, so that
// characters beyond them (𠮟, the ideographs of the later planes, emoji) copy out of the PDF as
// nothing. The characters are drawn first, one by one, off the page; the page's first text
// then tells which glyph of which font each became, and their text map is completed.
namespace exchange {

// The characters of `text` beyond U+FFFF, each once, in order of first appearance.
QList<char32_t> outsideBasicPlane(QStringView text);

// Draws each character alone, outside the page, in the painter's current font; to be called
// before anything else is drawn on the first page.
void drawOffPage(QPainter& painter, const QList<char32_t>& characters);

// The PDF with each font's text map given the characters drawn first, as `drawn` lists them
// (one for each drawOffPage call's characters, in order). A PDF laid out otherwise than Qt
// writes it comes back unchanged.
QByteArray mendTextMap(const QByteArray& pdf, const QList<char32_t>& drawn);

}  // namespace exchange
