#include "panels/picture/ScreenSaveAs.h"

#include "engine/FileSaver.h"
#include "panels/Dialogs.h"
#include "picture/ConversionText.h"
#include "picture/ScreenFileWriter.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>

void ScreenSaveAs::addButton(QWidget* parent, QDialogButtonBox* buttons, Dialogs& dialogs,
                             const QString& origin, std::function<PageBytes()> screen,
                             std::function<ConversionOptions()> options) {
    QPushButton* button =
        buttons->addButton(QStringLiteral("Save &As..."), QDialogButtonBox::ActionRole);
    button->setObjectName(QStringLiteral("saveAsButton"));
    button->setAccessibleName(QStringLiteral("Save As..."));
    button->setToolTip(QStringLiteral("Saves the converted screen as PNG, one-bit BMP, page "
                                      "bytes, C source or XBM, by the file's extension"));
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, parent, [=, &dialogs] {
        save(parent, dialogs, screen(), origin, ConversionText::of(options()));
    });
}

bool ScreenSaveAs::save(QWidget* parent, Dialogs& dialogs, const PageBytes& pages,
                        const QString& origin, const QString& conversion) {
    const QString fileName = dialogs.saveFileName(parent, ScreenFileFormats::dialogFilters());
    if (fileName.isEmpty())
        return false;
    const auto fail = [&](const QString& why) {
        dialogs.message(parent,
                        QStringLiteral("The file %1 cannot be written: %2.")
                            .arg(QFileInfo(fileName).fileName(), why),
                        MessageStyle::CriticalOk, QStringLiteral("Error"));
        return false;
    };
    const auto format = ScreenFileFormats::ofPath(fileName);
    if (!format)
        return fail(QStringLiteral("its extension names no format; use %1")
                        .arg(ScreenFileFormats::extensionList()));
    ScreenContents screen;
    for (int page = 0; page < protocol::kPages; ++page)
        for (int column = 0; column < protocol::kColumns; ++column)
            screen.memory[std::size_t(page * protocol::kColumns + column)] = pages.at(page, column);
    screen.glass = ScreenContents::plainGlass(screen.memory);
    screen.scale = 2; // as the dialog's preview shows it
    screen.name = QFileInfo(fileName).completeBaseName();
    screen.origin = origin;
    screen.conversion = conversion;
    if (const QString why =
            engine::FileSaver::save(fileName, ScreenFileWriter::encode(*format, screen));
        !why.isEmpty())
        return fail(why);
    return true;
}
