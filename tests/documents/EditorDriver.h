#pragma once

#include "documents/frm_fattura.h"
#include "support/ProgramFixture.h"

#include <QString>
#include <QVariant>
#include <cstdint>

class QWidget;

// A database with the full schema for section 1 (surcharge 4 %, withholding
// 20 % on 100 %, default VAT code 22), a withholding-agent client called
// D'Amico, the working date 5 March 2024, and helpers that drive the editor
// as a user does: keys into the focused control.
class EditorTest : public ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    frm_fattura* editor() const { return frm_fattura::current(); }
    template <typename T>
    T* control(const QString& name) const
    {
        T* w = editor()->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // Keys to whatever has the focus, one by one, as typing does.
    void type(const QString& text);
    void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QWidget* focused() const;
    void focus(QWidget* w);

    // Picks the client by typing the start of its name into the client combo, then Tab.
    void chooseClient(const QString& start);
    // Moves into the detail grid (Tab from the notes) and types one line:
    // VAT code (empty: keep the default), quantity, description, price; Enter commits it.
    void enterLine(const QString& code, const QString& quantity, const QString& description, const QString& price);
    void clickSave();
    // A new document of the kind with one line of 100,00 on the default code, saved; its fatId.
    std::int32_t saveSimpleDocument(int kind, const QString& prefix = {});

    QVariant scalar(const QString& sql) const;
    int count(const QString& sql) const { return scalar(sql).toInt(); }

    std::int32_t m_cliId = 0;
};
