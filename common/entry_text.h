// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Conversions between an entry's file form and what is shown or typed.
namespace common {

// Every "|@2|" separates; an empty field gives no answers.
QStringList splitRights(QStringView rights);
QString joinRights(const QStringList& answers);
// The answers on one line for reading as a question: "|@2|" becomes " | ".
QString rightsOnOneLine(QStringView rights);

// "\n" (two characters) <-> CR LF.
QString informationToDisplay(QStringView stored);
QString informationToStore(QStringView display);

// "「a」「b」" for the characters of text, a surrogate pair kept whole.
QString quoteEach(QStringView text);

}  // namespace common
