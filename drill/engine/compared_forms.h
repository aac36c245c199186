// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include "common/text_script.h"

namespace drill {

// A text in the forms answers are compared in, each made once.
struct ComparedForms {
    QString stored;  // as the word file stores it (common::storedForm)
    QString folded;  // and that in the lenient form (lenientForm)
    common::Script script = common::Script::None;  // of the text (common::textScript)
};

// The forms of text; an ASCII text, the usual answer, without a conversion or a look-up for
// each character.
ComparedForms comparedForms(const QString& text);

// Only the lenient form of the stored form, the same way.
QString foldedForm(QStringView text);

}  // namespace drill
