// "清理规则…": the user's own patterns, the folders kept out, the age and the temp folders, in
// a dialog of the program's colours that the keyboard reaches throughout (Tab, Alt+the
// underlined letters, Enter in the pattern box adds it).
#pragma once

#include <vector>

#include "../framework/CDialog.h"
#include "../framework/CGdiObject.h"
#include "../res/resource.h"
#include "../scan/CleaningRules.h"

class CRulesDlg : public CDialog {
public:
    explicit CRulesDlg(const CCleaningRules& rules, CWnd* pParent = nullptr) : CDialog(IDD_RULES, pParent), m_rules(rules) {}
    // The rules as the user left them (after OK).
    const CCleaningRules& Rules() const { return m_rules; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

    DECLARE_MESSAGE_MAP()

private:
    // What the pattern box holds, added; false (and said why) when it cannot be a pattern.
    bool AddTypedPattern();
    template <class T>
    void RemoveSelected(int nListId, std::vector<T>& items);
    void OnAddPattern();
    void OnRemovePattern();
    void OnAddFolder();
    void OnRemoveFolder();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // The two lists as the rules hold them (the age and the temp box keep what the user set).
    void ShowRules();
    // What the user typed is wrong: said in a box, the focus back where it was typed.
    void Refuse(const CString& why, int nFocusId);

    CCleaningRules m_rules;
    CBrush m_brushBk;
};
