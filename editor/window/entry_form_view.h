// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "editor/logic/entry_form.h"

#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

#include <array>
#include <limits>

class QLabel;
class QLineEdit;
class QPushButton;

namespace editor {

// A line edit's length limit that keeps any field whole (the default cuts at 32,767).
inline constexpr int kWholeField = std::numeric_limits<int>::max();

// txtInformation: Enter asks for the default command, Ctrl+Enter breaks the line, Tab moves on.
class InformationBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit InformationBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void submitted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The entry form: one entry as typed, not bound to any stored entry.
class EntryFormView : public QWidget {
    Q_OBJECT
public:
    explicit EntryFormView(QWidget* parent = nullptr);

    EntryForm contents() const;
    void showContents(const EntryForm& form);  // also refreshes the count
    void clear();                              // every box, ExtraRights, the count "0"

    // Recounts the form's answers into lblRightCount and returns the count.
    int refreshRightCount();

    QLineEdit* txtQuestion() const { return txtQuestion_; }
    QLineEdit* txtRight(int index) const { return txtRight_.at(index); }
    InformationBox* txtInformation() const { return txtInformation_; }
    QLabel* lblRightCount() const { return lblRightCount_; }
    // The reviews of the stored entry the form was loaded from; read-only.
    QLabel* lblReview() const { return lblReview_; }
    QPushButton* cmdMoreRight() const { return cmdMoreRight_; }
    // The fifth and later answers, joined by "|@2|"; a hidden part of the form.
    const QString& extraRights() const { return extraRights_; }
    void setExtraRights(const QString& answers) { extraRights_ = answers; }

    // Line breaks as CR LF, as the entry form's conversions expect them.
    QString information() const;
    void setInformation(const QString& text);

Q_SIGNALS:
    // Enter in any box of the form.
    void submitted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void holdReviewLine();

    QLineEdit* txtQuestion_;
    std::array<QLineEdit*, kAnswerBoxes> txtRight_{};
    InformationBox* txtInformation_;
    QLabel* lblRightCount_;
    QPushButton* cmdMoreRight_;
    QString extraRights_;
    QLabel* lblInformationRest_;
    QLabel* lblReview_;
    QString informationRest_;  // beyond what the information box shows
};

}  // namespace editor
