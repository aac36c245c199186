// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "exchange/window/exchange_commands.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <mutex>

#include "exchange/logic/exporters.h"
#include "exchange/logic/import_file.h"
#include "exchange/window/import_dialog.h"
#include "exchange/window/import_progress.h"
#include "exchange/window/messages.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

namespace exchange {

namespace {

// The word file's name with another extension, in its folder, for the save dialog.
QString besideWordFile(const QString& wordFileName, const QString& suffix) {
    if (wordFileName.isEmpty()) {
        return {};
    }
    const QFileInfo info(wordFileName);
    return info.dir().filePath(info.completeBaseName() + u'.' + suffix);
}

// Asks with the dialog started in *folder, unless a word file's name is proposed, and keeps
// the chosen file's folder there.
std::optional<platform::ChosenFile> askTypeIn(QWidget* parent, platform::Platform& platform,
                                              platform::FileDialog dialog, QString* folder) {
    if (folder != nullptr) {
        dialog.initialFolder = *folder;
    }
    std::optional<platform::ChosenFile> chosen = platform.askFileAndType(parent, dialog);
    if (chosen && !chosen->path.isEmpty() && folder != nullptr) {
        *folder = QFileInfo(chosen->path).absolutePath();
    }
    return chosen;
}

std::optional<QString> askIn(QWidget* parent, platform::Platform& platform,
                             const platform::FileDialog& dialog, QString* folder) {
    std::optional<platform::ChosenFile> chosen = askTypeIn(parent, platform, dialog, folder);
    return chosen ? std::optional<QString>(chosen->path) : std::nullopt;
}

// The export dialog's types, in the order of its filter.
struct ExportType {
    ExportFormat format;
    QString name;
    QString suffix;
};
const ExportType kExportTypes[] = {
    {ExportFormat::AnkiText, QStringLiteral("Anki 用テキスト"), QStringLiteral("txt")},
    {ExportFormat::Csv, QStringLiteral("CSV (UTF-8, 表計算用)"), QStringLiteral("csv")},
    {ExportFormat::Kvtml, QStringLiteral("KDE 単語帳 (kvtml)"), QStringLiteral("kvtml")}};

const ExportType& exportType(ExportFormat format) {
    return *std::find_if(std::begin(kExportTypes), std::end(kExportTypes),
                         [format](const ExportType& type) { return type.format == format; });
}

QString withSuffix(const QString& path, const QString& suffix) {
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + u'.' + suffix);
}

// A name the dialog did not ask about may already be taken.
bool mayWrite(QWidget* parent, platform::Platform& platform, const QString& path) {
    if (!QFileInfo::exists(path)) {
        return true;
    }
    const platform::MessageBox box{
        QStringLiteral("%1 は既にあります。\r\n上書きしますか？").arg(QFileInfo(path).fileName()),
        kExportTitle, platform::Icon::Question, platform::Buttons::YesNo, platform::Answer::No};
    return platform.showMessage(parent, box) == platform::Answer::Yes;
}

struct ExportTarget {
    QString path;
    ExportFormat format;
};

// The type chosen decides and lends a name without extension its own; a name with another
// type's extension asks which is meant. nullopt when the user stops or the name is refused.
std::optional<ExportTarget> exportTarget(QWidget* parent, platform::Platform& platform,
                                         const platform::ChosenFile& chosen) {
    const ExportType& type = kExportTypes[std::clamp(chosen.type, 0, 2)];
    if (QFileInfo(chosen.path).suffix().isEmpty()) {
        const QString path = chosen.path + u'.' + type.suffix;
        return mayWrite(parent, platform, path) ? std::optional<ExportTarget>({path, type.format})
                                                : std::nullopt;
    }
    const std::optional<ExportFormat> named = exportFormatFor(chosen.path);
    if (!named) {
        platform.warn(parent, QStringLiteral("書き出せる形式は .txt (Anki)、.csv、.kvtml です。"),
                      kExportTitle);
        return std::nullopt;
    }
    if (*named == type.format) {
        return ExportTarget{chosen.path, type.format};
    }
    const QString other = withSuffix(chosen.path, type.suffix);
    const platform::MessageBox box{
        QStringLiteral("%1 の拡張子は %2 のものですが、種類は %3 が選ばれています。\r\n"
                       "%2 で %1 に書き出しますか？\r\n"
                       "「いいえ」では %3 で %4 に書き出します。")
            .arg(QFileInfo(chosen.path).fileName(), exportType(*named).name, type.name,
                 QFileInfo(other).fileName()),
        kExportTitle, platform::Icon::Question, platform::Buttons::YesNoCancel,
        platform::Answer::Yes};
    switch (platform.showMessage(parent, box)) {
        case platform::Answer::Yes:
            return ExportTarget{chosen.path, *named};
        case platform::Answer::No:
            return mayWrite(parent, platform, other)
                       ? std::optional<ExportTarget>({other, type.format})
                       : std::nullopt;
        default:
            return std::nullopt;
    }
}

QString titleOf(const QString& wordFileName) {
    return wordFileName.isEmpty() ? QStringLiteral("単語帳")
                                  : QFileInfo(wordFileName).completeBaseName();
}

QPageSize pageSize(Paper paper) {
    return QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter);
}

const QString kReading = QStringLiteral("ファイルを読んでいます...");

// For the end-to-end tests only: KX_TEST_IMPORT_DELAY_MS holds every reading of a file to
// import back that many milliseconds before it parses (unless stopped), so that the progress
// window and its キャンセル can be seen with files that read in a fraction of a second. Read
// once, the first time a file is imported.
std::chrono::milliseconds testImportDelay() {
    static const std::chrono::milliseconds delay(
        std::max(qEnvironmentVariableIntValue("KX_TEST_IMPORT_DELAY_MS"), 0));
    return delay;
}

void waitUnlessStopped(std::chrono::milliseconds delay, const std::stop_token& stop) {
    if (delay.count() == 0) {
        return;
    }
    std::mutex mutex;
    std::condition_variable_any never;
    std::unique_lock lock(mutex);
    never.wait_for(lock, stop, delay, [] { return false; });
}

// Reads and parses the file off the window's thread (see runOffThread). nullopt when
// cancelled; a file that cannot be read comes back as a refused table.
std::optional<Table> loadImport(QWidget* parent, const QString& path, QByteArray& bytes) {
    Table table;
    const bool read = runOffThread(parent, kReading, [&](std::stop_token stop) {
        ImportFile file =
            readImportFile(path, [&stop](qint64, qint64) { return !stop.stop_requested(); });
        bytes = std::move(file.bytes);
        if (!file.outcome.ok()) {
            table.outcome = file.outcome;
            return;
        }
        waitUnlessStopped(testImportDelay(), stop);
        table = readImportTable(path, bytes, ReadOptions{QChar(), std::nullopt, stop});
    });
    if (!read || table.outcome.kind == common::OutcomeKind::Cancelled) {
        return std::nullopt;
    }
    return table;
}

}  // namespace

QString exchangeStartFolder(const QString& wordFileName, const QStringList& lastUsed,
                            const QString& programFolder) {
    if (!wordFileName.isEmpty()) {
        return QFileInfo(wordFileName).absolutePath();
    }
    const QString program = QFileInfo(programFolder).canonicalFilePath();
    for (const QString& used : lastUsed) {
        if (used.trimmed().isEmpty()) {
            continue;
        }
        const QFileInfo info(QDir::fromNativeSeparators(used));
        const QFileInfo folder(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
        if (folder.isDir() && folder.canonicalFilePath() != program) {
            return folder.absoluteFilePath();
        }
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

std::optional<QList<common::Entry>> runImport(QWidget* parent, platform::Platform& platform,
                                              int existingEntries, QString* folder) {
    platform::FileDialog dialog;
    dialog.kind = platform::FileDialogKind::Open;
    dialog.title = kImportTitle;
    dialog.filter = QStringLiteral(
        "単語リスト (CSV, TSV, kvtml, Anki)|*.csv;*.tsv;*.txt;*.kvtml|すべてのファイル|*");
    dialog.defaultSuffix.clear();
    const std::optional<QString> path = askIn(parent, platform, dialog, folder);
    if (!path || path->isEmpty()) {
        return std::nullopt;
    }
    QByteArray bytes;
    std::optional<Table> read = loadImport(parent, *path, bytes);
    if (!read) {
        return std::nullopt;
    }
    const SourceFormat format = guessFormat(*path, bytes);
    Table table = std::move(*read);
    if (!table.outcome.ok()) {
        platform.warn(parent, QStringLiteral("読み込めないファイルです。"), table.outcome,
                      kImportTitle);
        return std::nullopt;
    }
    if (table.rows.isEmpty()) {
        platform.warn(parent, kNothingToImport, kImportTitle);
        return std::nullopt;
    }
    ImportDialog preview(std::move(table), roomFor(existingEntries), platform, parent);
    if (format != SourceFormat::Kvtml) {
        preview.offerReading([&bytes, &preview, path = *path](ReadOptions options) {
            std::optional<Table> table;
            runOffThread(&preview, kReading, [&](std::stop_token stop) {
                options.stop = std::move(stop);
                table = readImportTable(path, bytes, options);
            });
            return table && table->outcome.kind != common::OutcomeKind::Cancelled ? table
                                                                                  : std::nullopt;
        });
    }
    if (preview.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return preview.plan().entries;
}

bool runExport(QWidget* parent, platform::Platform& platform, const QList<common::Entry>& entries,
               const QString& wordFileName, QString* folder) {
    platform::FileDialog dialog;
    dialog.kind = platform::FileDialogKind::Save;
    dialog.title = kExportTitle;
    dialog.fileName = besideWordFile(wordFileName, QStringLiteral("txt"));
    QStringList types;
    for (const ExportType& type : kExportTypes) {
        types << type.name << QStringLiteral("*.") + type.suffix;
    }
    dialog.filter = types.join(u'|');
    dialog.defaultSuffix = QStringLiteral("txt");
    const std::optional<platform::ChosenFile> chosen = askTypeIn(parent, platform, dialog, folder);
    if (!chosen || chosen->path.isEmpty()) {
        return false;
    }
    const std::optional<ExportTarget> target = exportTarget(parent, platform, *chosen);
    if (!target) {
        return false;
    }
    const common::Outcome written = [&] {
        const auto busy = platform.busy();
        return writeExport(target->path, target->format, entries);
    }();
    if (!written.ok()) {
        platform.warn(parent, QStringLiteral("書き込めません。"), written, kExportTitle);
    }
    return written.ok();
}

std::unique_ptr<QDialog> makePrintOptionsDialog(QWidget* parent) {
    auto dialog = std::make_unique<QDialog>(parent);
    dialog->setObjectName(QStringLiteral("frmPrintOptions"));
    dialog->setWindowTitle(QStringLiteral("印刷の内容"));
    const auto radio = [](const QString& text, const QString& name, const QString& accessible) {
        auto* button = new QRadioButton(text);
        button->setObjectName(name);
        button->setAccessibleName(accessible);
        return button;
    };
    QRadioButton* optList = radio(QStringLiteral("単語一覧(&L)"), QStringLiteral("optList"),
                                  QStringLiteral("単語一覧"));
    QRadioButton* optTest = radio(QStringLiteral("テスト用紙(&T)"), QStringLiteral("optTest"),
                                  QStringLiteral("テスト用紙"));
    QRadioButton* optA4 =
        radio(QStringLiteral("A4"), QStringLiteral("optA4"), QStringLiteral("用紙 A4"));
    QRadioButton* optLetter =
        radio(QStringLiteral("レター"), QStringLiteral("optLetter"), QStringLiteral("用紙 レター"));
    optList->setChecked(true);
    optA4->setChecked(true);
    auto* kind = new QGroupBox(QStringLiteral("内容"));
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(optList);
    kindLayout->addWidget(optTest);
    auto* paper = new QGroupBox(QStringLiteral("用紙"));
    auto* paperLayout = new QVBoxLayout(paper);
    paperLayout->addWidget(optA4);
    paperLayout->addWidget(optLetter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog.get(), &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog.get(), &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog.get());
    layout->addWidget(kind);
    layout->addWidget(paper);
    layout->addWidget(buttons);
    platform::fitToScreen(dialog.get());
    return dialog;
}

std::optional<PrintOptions> askPrintOptions(QWidget* parent) {
    const std::unique_ptr<QDialog> dialog = makePrintOptionsDialog(parent);
    if (dialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const auto checked = [&dialog](const QString& name) {
        return dialog->findChild<QRadioButton*>(name)->isChecked();
    };
    return PrintOptions{
        checked(QStringLiteral("optTest")) ? PrintKind::TestSheet : PrintKind::WordList,
        checked(QStringLiteral("optLetter")) ? Paper::Letter : Paper::A4};
}

common::Outcome printJob(QPrinter& printer, const PrintJob& job) {
    // The preview paints on pages of its own, whatever output the printer is set to.
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty() ||
        printer.paintEngine()->type() != QPaintEngine::Pdf) {
        paintJob(printer, job);
        return {};
    }
    QList<char32_t> drawn;
    paintJob(printer, job, &drawn);
    return mendPdfFile(printer.outputFileName(), drawn);
}

void runPrint(QWidget* parent, platform::Platform& platform, const QList<common::Entry>& entries,
              const QString& title) {
    const std::optional<PrintOptions> options = askPrintOptions(parent);
    if (!options) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(pageSize(options->paper));
    printer.setDocName(titleOf(title));
    QPrintPreviewDialog preview(&printer, parent);
    const PrintJob job{options->kind, titleOf(title), entries};
    common::Outcome mended;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&job, &mended](QPrinter* target) { mended = printJob(*target, job); });
    preview.exec();
    if (!mended.ok()) {
        platform.warn(parent, QStringLiteral("書き込めません。"), mended, kPdfTitle);
    }
}

bool runPdfExport(QWidget* parent, platform::Platform& platform,
                  const QList<common::Entry>& entries, const QString& wordFileName,
                  QString* folder) {
    const std::optional<PrintOptions> options = askPrintOptions(parent);
    if (!options) {
        return false;
    }
    return exportPdf(parent, platform, {options->kind, titleOf(wordFileName), entries},
                     options->paper, wordFileName, folder);
}

bool exportPdf(QWidget* parent, platform::Platform& platform, const PrintJob& job, Paper paper,
               const QString& wordFileName, QString* folder) {
    platform::FileDialog dialog;
    dialog.kind = platform::FileDialogKind::Save;
    dialog.title = kPdfTitle;
    dialog.fileName = besideWordFile(wordFileName, QStringLiteral("pdf"));
    dialog.filter = QStringLiteral("PDF|*.pdf");
    dialog.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> path = askIn(parent, platform, dialog, folder);
    if (!path || path->isEmpty()) {
        return false;
    }
    const common::Outcome written = [&] {
        const auto busy = platform.busy();
        return writePdf(*path, job, paper);
    }();
    if (!written.ok()) {
        platform.warn(parent, QStringLiteral("書き込めません。"), written, kPdfTitle);
    }
    return written.ok();
}

}  // namespace exchange
