#include "platform/RussianFileDialog.h"

#include "platform/CommandLine.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

#include <algorithm>

namespace zelm {
namespace {

// The columns of QFileSystemModel.
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

class RussianTypesAndDates : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files && role == Qt::DisplayRole) {
            const QModelIndex source = mapToSource(index);
            if (index.column() == kDateColumn) {
                const QDateTime modified = files->lastModified(source);
                return modified.isValid() ? modified.toString(QStringLiteral("dd.MM.yyyy HH:mm"))
                                          : QString();
            }
            if (index.column() == kSizeColumn && !files->isDir(source))
                return QLocale().formattedDataSize(files->size(source));
            // A file's type is its MIME comment, which follows the program's Russian locale.
            if (index.column() == kTypeColumn && files->isDir(source))
                return QStringLiteral("Папка");
        }
        return QIdentityProxyModel::data(index, role);
    }
};

bool desktopSpeaksRussian() {
    return russianMessages();
}

QString selected(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void useRussianQtDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new RussianTypesAndDates(&dialog));
    // Room for a date and a type without cutting them short.
    dialog.resize(std::max(dialog.width(), 800), std::max(dialog.height(), 480));
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QFontMetrics metrics(details->font());
        details->header()->resizeSection(
            kDateColumn, metrics.horizontalAdvance(QStringLiteral("00.00.0000 00:00")) + 24);
        details->header()->resizeSection(
            kSizeColumn, metrics.horizontalAdvance(QStringLiteral("1023,9 байта")) + 16);
        details->header()->resizeSection(
            kTypeColumn, metrics.horizontalAdvance(QStringLiteral("Текстовый документ")) + 16);
    }
}

QString russianOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter) {
    if (desktopSpeaksRussian())
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    useRussianQtDialog(dialog);
    return selected(dialog);
}

QString russianExistingFolder(QWidget* parent, const QString& caption, const QString& folder) {
    if (desktopSpeaksRussian())
        return QFileDialog::getExistingDirectory(parent, caption, folder);
    QFileDialog dialog(parent, caption, folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    useRussianQtDialog(dialog);
    return selected(dialog);
}

} // namespace zelm
