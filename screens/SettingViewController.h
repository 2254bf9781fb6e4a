#pragma once

#include "UIButton.h"
#include "UIInteractiveView.h"
#include "UILabel.h"

#include "ScreenContext.h"
#include "UIViewController.h"
#include "morvex/MXAdjustType.h"

#include <QPointer>

#include <functional>
#include <string>
#include <vector>

namespace morvex {

/// The settings sheet of one conversion: language, class or struct, the Objective-C mapping style, the four
/// remembered values, the base class, faithful models and the output folder. Confirming checks the inputs, saves the
/// four values and closes; once the sheet has gone, `convertBlack` runs.
class SettingViewController : public UIViewController
{
    Q_OBJECT

public:
    static constexpr int width = 900;
    static constexpr int height = 585;

    explicit SettingViewController(ScreenContext context, QWidget* parent = nullptr);
    ~SettingViewController() override;

    /// The placeholder of the output-folder label while no folder is chosen.
    static QString pathPlaceholder();

    std::vector<MXAdjustType> adjustTypeSet = MXAdjustType::all();
    MXAdjustType adjustType = MXAdjustType::none();
    bool isSwift = true;
    bool isClass = true;
    /// Types that hold every value of the sample, written on confirmation.
    bool isFaithful = false;
    /// Runs after the confirmed sheet has gone.
    std::function<void()> convertBlack;
    bool isCommit = false;
    /// Where saving moved an unreadable settings file aside, for the main window to say once; "" usually.
    QString settingsNotice;

    UIInteractiveView* authorInput() const { return m_authorInput; }
    UIInteractiveView* copyrightInput() const { return m_copyrightInput; }
    UIInteractiveView* prefixInput() const { return m_prefixInput; }
    UIInteractiveView* nameInput() const { return m_nameInput; }
    UIInteractiveView* baseInput() const { return m_baseInput; }
    UIButton* swiftBtn();
    UIButton* ocBtn();
    UIButton* classBtn();
    UIButton* structBtn();
    UIButton* faithfulBtn();
    UIButton* doBtn();
    UIButton* pathBtn();
    UILabel* codeOutPath();
    const std::vector<QPointer<UIButton>>& configBtn() const { return m_configBtn; }
    QWidget* configView() const { return m_configView; }

    /// The values the conversion reads.
    QString baseClass() const;
    QString outputFolder();
    /// [author, company, prefix, root type name] as the rows show them.
    std::vector<std::string> settingValues() const;

    void selectLangSwift(UIButton* sender);
    void selectLangOC(UIButton* sender);
    void selectClass(UIButton* sender);
    void selectStruct(UIButton* sender);
    void didSelectChange(UIButton* sender);
    void selectPath();
    void sureAction();

    /// Shows the alert of the first failed check and answers false; true when every input is there.
    bool checkInputs();
    /// Shows the mapping-style row and "NSObject" for Objective-C, hides it and shows "Codable" for Swift.
    void ocStateDidChange(bool on);

protected:
    QWidget* loadView() override;
    void viewDidLoad() override;
    void viewDidDisappear() override;

private:
    UIButton* optionButton(const QString& title, int tag, void (SettingViewController::*action)(UIButton*));
    bool saveValues();

    ScreenContext m_context;
    QPointer<UIInteractiveView> m_authorInput;
    QPointer<UIInteractiveView> m_copyrightInput;
    QPointer<UIInteractiveView> m_prefixInput;
    QPointer<UIInteractiveView> m_nameInput;
    QPointer<UIInteractiveView> m_baseInput;
    QPointer<UIButton> m_swiftBtn;
    QPointer<UIButton> m_ocBtn;
    QPointer<UIButton> m_classBtn;
    QPointer<UIButton> m_structBtn;
    QPointer<UIButton> m_faithfulBtn;
    QPointer<UIButton> m_doBtn;
    QPointer<UIButton> m_pathBtn;
    QPointer<UILabel> m_codeOutPath;
    std::vector<QPointer<UIButton>> m_configBtn;
    QPointer<QWidget> m_configView;
    QMetaObject::Connection m_observation;
};

} // namespace morvex
