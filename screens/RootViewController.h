#pragma once

#include "JSONTextView.h"
#include "SettingViewController.h"
#include "UIButton.h"
#include <QPlainTextEdit>

#include "MXBaseViewController.h"
#include "ScreenContext.h"
#include "morvex/Conversion.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace morvex {

/// The main screen: the JSON input and the generated code side by side, and the convert button below.
/// Converting opens a fresh settings sheet; confirming it runs the conversion, which writes the files, fills
/// the code view and says below how many files it wrote where.
class RootViewController : public MXBaseViewController
{
    Q_OBJECT

public:
    explicit RootViewController(ScreenContext context, QWidget* parent = nullptr);
    ~RootViewController() override;

    UIButton* convetBtn() const { return m_convetBtn; }
    JSONTextView* jsonTextView() const { return m_jsonTextView; }
    QPlainTextEdit* codeTextView() const { return m_codeTextView; }

    /// The convert button's action: refuses an empty input, otherwise opens the settings sheet.
    void convertWithSender(QObject* sender);

    /// Converts the JSON text with the choices of the confirmed `setting`, fills the code view (Swift before
    /// writing the files, Objective-C after) and writes the files; names the files that could not be written.
    /// Text that is not JSON writes nothing and leaves the code view: an alert names line, column and reason.
    void runConversion(SettingViewController& setting);

    /// What the last conversion wrote and where ("" before the first), and the button that opens that folder.
    QLabel* resultLabel() const { return m_resultLabel; }
    QPushButton* openFolderButton() const { return m_openFolderButton; }
    /// Opens the last output folder in the file manager; an alert says when it cannot.
    void openOutputFolder();

    /// The count of the last conversion's findings beside the code view (hidden when there are none), and the
    /// list it opens: each finding's path and message.
    QPushButton* findingsButton() const { return m_findingsButton; }
    QListWidget* findingsList() const { return m_findingsList; }
    /// Selects the place of the finding in row `row` of the list in the JSON text and closes the list.
    void selectFinding(int row);

    /// The settings sheet on screen now, if any.
    SettingViewController* presentedSetting() const { return m_presentedSetting; }

protected:
    void systemInterfaceThemeChanged(bool isLight) override;

private:
    void viewDidLoad();
    void writeConversion(const Conversion& conversion, bool isSwift, const QString& folderText,
                         const std::string& json);
    void writeAndShow(const Conversion& conversion, bool isSwift, const QString& folderText, const std::string& json,
                      std::size_t& inPlace);
    /// Allocation failed; `written` files were in place by then (nullopt: none).
    void showOutOfMemory(std::optional<std::size_t> written);
    void showFindings(const Findings& findings, std::string_view json);
    QString withNotice(QString detail);

    ScreenContext m_context;
    QPointer<UIButton> m_convetBtn;
    QPointer<JSONTextView> m_jsonTextView;
    QPointer<QPlainTextEdit> m_codeTextView;
    QPointer<SettingViewController> m_presentedSetting;
    QPointer<QLabel> m_resultLabel;
    QPointer<QPushButton> m_openFolderButton;
    QString m_outputFolder;
    QPointer<QPushButton> m_findingsButton;
    QPointer<QListWidget> m_findingsList;
    /// Per listed finding, its place in the JSON text as converted, in UTF-16 units.
    std::vector<std::pair<qsizetype, qsizetype>> m_findingPlaces;
    /// Where an unreadable settings file went, said with the next alert.
    QString m_notice;
};

} // namespace morvex
