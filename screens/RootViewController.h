#pragma once

#include "SettingViewController.h"
#include "UIButton.h"
#include <QPlainTextEdit>

#include "MXBaseViewController.h"
#include "ScreenContext.h"

#include <QPointer>

namespace morvex {

/// The main screen: the JSON input and the generated code side by side, and the convert button below.
/// Converting opens a fresh settings sheet; confirming it runs the conversion, which writes the files and
/// fills the code view.
class RootViewController : public MXBaseViewController
{
    Q_OBJECT

public:
    explicit RootViewController(ScreenContext context, QWidget* parent = nullptr);
    ~RootViewController() override;

    UIButton* convetBtn() const { return m_convetBtn; }
    QPlainTextEdit* jsonTextView() const { return m_jsonTextView; }
    QPlainTextEdit* codeTextView() const { return m_codeTextView; }

    /// The convert button's action: refuses an empty input, otherwise opens the settings sheet.
    void convertWithSender(QObject* sender);

    /// Converts the JSON text with the choices of the confirmed `setting`, fills the code view (Swift before
    /// writing the files, Objective-C after) and writes the files; names the files that could not be written.
    void runConversion(SettingViewController& setting);

    /// The settings sheet on screen now, if any.
    SettingViewController* presentedSetting() const { return m_presentedSetting; }

protected:
    void systemInterfaceThemeChanged(bool isLight) override;

private:
    void viewDidLoad();

    ScreenContext m_context;
    QPointer<UIButton> m_convetBtn;
    QPointer<QPlainTextEdit> m_jsonTextView;
    QPointer<QPlainTextEdit> m_codeTextView;
    QPointer<SettingViewController> m_presentedSetting;
};

} // namespace morvex
