#pragma once

#include "import/engine/ImportSettings.h"

#include <QWidget>

class QAbstractButton;

// What the wizard's own steps (source choice, formats, import options)
// share: the window's settings, of which each edits its slice; a flag that
// is set while the page fills its controls from the settings, so that their
// signals write nothing back; and quiet children when the page goes. The
// window owns the settings and outlives its pages.
class WizardStepPage : public QWidget
{
    Q_OBJECT

public:
    WizardStepPage(ImportSettings &settings, QWidget *parent);
    ~WizardStepPage() override;

    // Shows the settings again (the window opened, a template was loaded).
    virtual void showSettings() = 0;
    // Applies what was typed in an edit not yet left: an action started
    // from the keyboard or by a program may come first.
    virtual void applyPendingEdits() { }

protected:
    // Toggling the button stores its state in the setting, unless the page
    // is filling its controls.
    void storeWhenToggled(QAbstractButton *button, bool ImportSettings::*setting);

    ImportSettings &m_settings;
    bool m_showing = false; // controls are being filled: their signals change nothing
};
