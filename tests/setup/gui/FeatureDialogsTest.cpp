// The value dialogs driven as a user drives them: the number dialog's radix buttons and range
// warning, the override button of each dialog type, and the sequence dialog's entries, with
// what OK writes into the chip definition.
#include "setup/gui/FeatureDialogs.h"
#include "hcl/HclData.h"
#include "setup/core/FeatureValue.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/FeatureValueDialog.h"
#include "setup/gui/GuiTestSupport.h"
#include "setup/gui/SequenceDialog.h"
#include "support/PlayProcess.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

// One item per dialog type, each switched off by the PLL bypass, then two without a switch.
constexpr const char kItems[] =
    "<UIFEATURES><UIITEM TYPE=\"group\" NAME=\"G\">"
    "<UIITEM TYPE=\"item\" FEATURE=\"keyr\" OVERRIDE=\"pllbypass\" OVERRIDEPOS=\"Bypassed\" "
    "OVERRIDENEG=\"In use\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"baseaddr\" OVERRIDE=\"pllbypass\" OVERRIDEPOS=\"Bypassed\" "
    "OVERRIDENEG=\"In use\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"setupdesc\" OVERRIDE=\"pllbypass\" OVERRIDEPOS=\"Bypassed\" "
    "OVERRIDENEG=\"In use\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"clki\" OVERRIDE=\"pllbypass\" OVERRIDEPOS=\"Bypassed\" "
    "OVERRIDENEG=\"In use\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"adapter\" OVERRIDE=\"pllbypass\" OVERRIDEPOS=\"Bypassed\" "
    "OVERRIDENEG=\"In use\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"lcdseq\" OVERRIDE=\"pllbypass\" OVERRIDEPOS=\"Bypassed\" "
    "OVERRIDENEG=\"In use\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"hdp\"/>"
    "<UIITEM TYPE=\"item\" FEATURE=\"lcdseq\"/>"
    "</UIITEM></UIFEATURES>";
constexpr int kItemHdp = 6;
constexpr int kItemSequence = 7;

template <typename T> T* Control(QWidget& dialog, const char* id) {
    return dialog.findChild<T*>(id);
}

QPushButton* StandardButton(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    return dialog.findChild<QDialogButtonBox*>()->button(which);
}

QStringList Rows(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) {
        rows << list->item(i)->text();
    }
    return rows;
}

// Types into an edit as the user does: click in, replace its text, leave it with Tab.
void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class FeatureDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        StartWindowTest(m_Recorder);
        QVERIFY(LoadProgramBlock(q3vtest::PlayPath()));
        QVERIFY(g_ChipDef.TruncateSequence("lcdseq", 0));
        m_Model = std::make_unique<UIFeatures>(g_ChipDef, kItems);
    }
    void cleanup() {
        m_Model.reset();
        EndWindowTest();
        LoadProgramBlock(q3vtest::PlayPath());
    }

    // HEX, DEC and BIN rewrite the typed number; the range warning follows the radix; OK refuses
    // a number out of range with a beep and writes one in range.
    void TheNumberDialogsRadixButtonsAndRangeWarning() {
        QVERIFY(g_ChipDef.SetFeatureValue("hdp", 480));
        DialogRecorder dialogs;
        dialogs.OnDialog = [this](QDialog& dialog) {
            DriveNumberDialog(static_cast<FeatureValueDialog&>(dialog));
            return dialog.result();
        };
        QVERIFY(OpenFeatureDialog(nullptr, *m_Model, Item(kItemHdp)));
        QCOMPARE(dialogs.Shown, QStringList{"203"});
        QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), 320u);
    }

    // Each dialog's override button names the switch's state and turns the type's controls off
    // while it is on; OK writes the switch, Cancel leaves it.
    void TheOverrideButtonOfEachDialog() {
        QVERIFY(g_ChipDef.SetSequenceEntry("lcdseq", 0, oxHCL_LCD_COMMAND, 0x2C, ""));
        struct Case {
            int Item;
            const char* Dialog;
            QStringList Controls;
        };
        const Case cases[] = {
            {0, "203", {"2506", "2503", "2508", "2509", "2510", "2511"}},
            {1, "217", {"2506", "2503", "2505"}},
            {2, "204", {"2506", "2504"}},
            {3, "204", {"2506", "2504"}},
            {4, "206", {"2506", "2505"}},
            {5, "215", {"2505", "2513", "2512", "2514", "3", "4", "5", "6"}},
        };
        for (const Case& c : cases) {
            for (const bool ok : {false, true}) {
                QVERIFY(g_ChipDef.SetFeatureRawValue("pllbypass", 0));
                const char* feature = m_Model->GetChipDefFeature(Item(c.Item));
                const std::string before = OrEmpty(g_ChipDef.GetFeatureText(feature, true));
                DialogRecorder dialogs;
                dialogs.OnDialog = [this, &c, ok](QDialog& dialog) {
                    dialog.show();
                    DriveOverride(dialog, c.Controls);
                    if (ok && c.Item == 1) {
                        Screenshot(dialog, "dialog-217-override");
                    }
                    Click(StandardButton(dialog,
                                         ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel));
                    return dialog.result();
                };
                QCOMPARE(OpenFeatureDialog(nullptr, *m_Model, Item(c.Item)), ok);
                QCOMPARE(dialogs.Shown, QStringList{c.Dialog});
                QCOMPARE(g_ChipDef.GetFeatureRawValue("pllbypass"), ok ? 1u : 0u);
                QCOMPARE(OrEmpty(g_ChipDef.GetFeatureText(feature, true)), before);
            }
        }
        DialogRecorder dialogs;
        dialogs.OnDialog = [](QDialog& dialog) {
            return Control<QPushButton>(dialog, "2515")->isHidden() ? 0 : -1;
        };
        QVERIFY(!OpenFeatureDialog(nullptr, *m_Model, Item(kItemHdp)));
        QVERIFY(!OpenFeatureDialog(nullptr, *m_Model, Item(kItemSequence)));
        QCOMPARE(dialogs.Shown, (QStringList{"203", "215"}));
    }

    // The address dialog takes a typed address or a memory map row, the text dialog its typed
    // text, and the list dialog the row double-clicked.
    void AddressTextAndListDialogsWriteWhatIsChosen() {
        DialogRecorder dialogs;
        dialogs.OnDialog = [](QDialog& dialog) {
            auto& value = static_cast<FeatureValueDialog&>(dialog);
            value.show();
            QListWidget* map = value.List();
            TypeInto(value.NumberEdit(), "1000");
            if (map->count() == 0 || value.Currently()->text() != "Currently  =  00000000h") {
                return -1;
            }
            QTest::mouseClick(map->viewport(), Qt::LeftButton, {},
                              map->visualItemRect(map->item(0)).center());
            if (value.NumberEdit()->text() != map->item(0)->text().left(8)) {
                return -1;
            }
            TypeInto(value.NumberEdit(), "0001F000");
            Click(StandardButton(dialog, QDialogButtonBox::Ok));
            return dialog.result();
        };
        QVERIFY(OpenFeatureDialog(nullptr, *m_Model, Item(1)));
        QCOMPARE(g_ChipDef.GetFeatureValue("baseaddr"), 0x1F000u);

        dialogs.OnDialog = [](QDialog& dialog) {
            auto& value = static_cast<FeatureValueDialog&>(dialog);
            value.show();
            TypeInto(value.TextEdit(), "Bench board");
            Click(StandardButton(dialog, QDialogButtonBox::Ok));
            return dialog.result();
        };
        QVERIFY(OpenFeatureDialog(nullptr, *m_Model, Item(2)));
        QCOMPARE(OrEmpty(g_ChipDef.GetFeatureText("setupdesc", true)), std::string("Bench board"));

        uint32_t before = 0;
        QVERIFY(g_ChipDef.GetFeatureListIndex("adapter", &before));
        const int other = before == 0 ? 1 : 0;
        QString chosen;
        dialogs.OnDialog = [other, &chosen](QDialog& dialog) {
            auto& value = static_cast<FeatureValueDialog&>(dialog);
            value.show();
            QListWidget* list = value.List();
            chosen = list->item(other)->text();
            const QPoint row = list->visualItemRect(list->item(other)).center();
            // A double-click comes after the first click's press and release.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
            return dialog.result();
        };
        QVERIFY(OpenFeatureDialog(nullptr, *m_Model, Item(4)));
        uint32_t after = 0;
        QVERIFY(g_ChipDef.GetFeatureListIndex("adapter", &after));
        QCOMPARE(after, uint32_t(other));
        QCOMPARE(QString::fromStdString(OrEmpty(g_ChipDef.GetFeatureText("adapter", true))),
                 chosen);
        QCOMPARE(dialogs.Shown, (QStringList{"217", "204", "206"}));
    }

    // Entries are appended, typed, retyped, inserted and deleted through the dialog's controls;
    // OK writes them all and ends the sequence after them; Cancel writes nothing.
    void TheSequenceDialogEditsEntryByEntry() {
        DialogRecorder dialogs;
        dialogs.OnDialog = [this](QDialog& dialog) {
            DriveSequenceEdits(static_cast<SequenceDialog&>(dialog));
            return dialog.result();
        };
        QVERIFY(OpenFeatureDialog(nullptr, *m_Model, Item(kItemSequence)));
        if (QTest::currentTestFailed()) {
            return;
        }
        CompareSequence({{oxHCL_LCD_COMMAND, 0, ""},
                         {oxHCL_LCD_COMMAND, 0x2A, "Reset"},
                         {oxHCL_LCD_PARAM, 5, ""}});
        if (QTest::currentTestFailed()) {
            return;
        }

        dialogs.OnDialog = [this](QDialog& dialog) {
            DriveDeleteAllThenCancel(static_cast<SequenceDialog&>(dialog));
            return dialog.result();
        };
        QVERIFY(!OpenFeatureDialog(nullptr, *m_Model, Item(kItemSequence)));
        QVERIFY(g_ChipDef.GetSequenceEntry("lcdseq", 2, nullptr, nullptr, nullptr));
    }

    // Append, Insert and Delete pressed by their Alt keys while Value or Label has the focus
    // first take what was typed there, as leaving the edit does; then they act.
    void TheSequenceButtonsAltKeysKeepWhatWasTyped() {
        DialogRecorder dialogs;
        dialogs.OnDialog = [this](QDialog& dialog) {
            DriveAltKeys(static_cast<SequenceDialog&>(dialog));
            return dialog.result();
        };
        QVERIFY(OpenFeatureDialog(nullptr, *m_Model, Item(kItemSequence)));
        if (QTest::currentTestFailed()) {
            return;
        }
        CompareSequence(
            {{oxHCL_LCD_DELAY, 120, ""}, {oxHCL_LCD_COMMAND, 0, ""}, {oxHCL_LCD_DELAY, 0, "lbl"}});
    }

    // Texts are single lines: a line break pasted into the description or into a sequence
    // label, or committed by an input method, is left out and the rest of the text kept.
    void LineBreaksAreRefusedWhereverTheyComeFrom() {
        const auto pasteAndCompose = [](QLineEdit* edit) {
            QTest::mouseClick(edit, Qt::LeftButton);
            edit->selectAll();
            QApplication::clipboard()->setText("line1\nline2\r\n[Regs]\r0=0004,0001");
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QInputMethodEvent composed;
            composed.setCommitString(" x\ny");
            QApplication::sendEvent(edit, &composed);
        };
        const QString kept = "line1line2[Regs]0=0004,0001 xy";
        DialogRecorder dialogs;
        dialogs.OnDialog = [&](QDialog& dialog) {
            if (!ShowActive(dialog)) {
                return -1;
            }
            if (auto* text = qobject_cast<FeatureValueDialog*>(&dialog)) {
                pasteAndCompose(text->TextEdit());
                if (text->TextEdit()->text() != kept) {
                    return -2;
                }
            } else {
                auto& sequence = static_cast<SequenceDialog&>(dialog);
                Click(Control<QPushButton>(dialog, "4"));
                pasteAndCompose(sequence.LabelEdit());
                QTest::keyClick(sequence.LabelEdit(), Qt::Key_Tab);
                if (Rows(sequence.List()) != QStringList{"COMMAND 0h  ( " + kept + " )"}) {
                    return -3;
                }
            }
            Click(StandardButton(dialog, QDialogButtonBox::Ok));
            return dialog.result();
        };
        QVERIFY(OpenFeatureDialog(nullptr, *m_Model, Item(2)));
        QVERIFY(OpenFeatureDialog(nullptr, *m_Model, Item(kItemSequence)));
        QCOMPARE(dialogs.Shown, (QStringList{"204", "215"}));
        QCOMPARE(OrEmpty(g_ChipDef.GetFeatureText("setupdesc", true)), kept.toStdString());
        CompareSequence({{oxHCL_LCD_COMMAND, 0, "line1line2[Regs]0=0004,0001 xy"}});
    }

    // A full sequence beeps on Insert and Append and stays as it is.
    void AFullSequenceRefusesInsertAndAppend() {
        DialogRecorder dialogs;
        dialogs.OnDialog = [this](QDialog& dialog) {
            auto& sequence = static_cast<SequenceDialog&>(dialog);
            sequence.show();
            const uint32_t capacity = sequence.Edit().Capacity();
            for (uint32_t i = 0; i < capacity; ++i) {
                Click(Control<QPushButton>(dialog, "4"));
            }
            const QStringList full = Rows(sequence.List());
            Click(Control<QPushButton>(dialog, "3"));
            Click(Control<QPushButton>(dialog, "4"));
            if (static_cast<uint32_t>(full.size()) != capacity || capacity == 0 ||
                Rows(sequence.List()) != full || m_Recorder.Beeps.size() != 2) {
                return -1;
            }
            return 0;
        };
        QVERIFY(!OpenFeatureDialog(nullptr, *m_Model, Item(kItemSequence)));
        QCOMPARE(dialogs.Shown, QStringList{"215"});
        QCOMPARE(m_Recorder.Beeps.size(), size_t(2));
    }

private:
    struct WrittenEntry {
        uint32_t Flags;
        uint32_t Value;
        const char* Label;
    };

    // The feature's sequence holds these entries and ends after them.
    static void CompareSequence(const std::vector<WrittenEntry>& written) {
        for (uint32_t i = 0; i < written.size(); ++i) {
            uint32_t flags = 0;
            uint32_t value = 0;
            const char* label = nullptr;
            QVERIFY(g_ChipDef.GetSequenceEntry("lcdseq", i, &flags, &value, &label));
            QCOMPARE(flags, written[i].Flags);
            QCOMPARE(value, written[i].Value);
            QCOMPARE(std::string(label != nullptr ? label : ""), std::string(written[i].Label));
        }
        QVERIFY(!g_ChipDef.GetSequenceEntry("lcdseq", static_cast<uint32_t>(written.size()),
                                            nullptr, nullptr, nullptr));
    }

    TreeHandle Item(int n) {
        TreeHandle node = nullptr;
        m_Model->GetRoot(node);
        m_Model->ToChild(node);
        for (int i = 0; i < n; ++i) {
            m_Model->ToNext(node);
        }
        return node;
    }

    static bool IsRed(const QLabel* label) {
        return label->palette().color(QPalette::WindowText) == QColor(Qt::red);
    }

    void DriveNumberDialog(FeatureValueDialog& dialog) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QLineEdit* edit = dialog.NumberEdit();
        auto* hex = Control<QRadioButton>(dialog, "2510");
        auto* dec = Control<QRadioButton>(dialog, "2509");
        auto* bin = Control<QRadioButton>(dialog, "2511");
        QCOMPARE(edit->text(), QString("480"));
        QVERIFY(dec->isChecked());
        QCOMPARE(dialog.Currently()->text(), QString("Currently  =  480 pixels"));

        Click(hex);
        QVERIFY(hex->isChecked());
        QCOMPARE(edit->text(), QString("1E0"));
        QCOMPARE(dialog.Currently()->text(), QString("Currently  =  1E0 pixels"));
        QVERIFY(edit->hasFocus());
        QCOMPARE(edit->selectedText(), edit->text());
        QTest::keyClicks(edit, "C"); // replaces the selection
        Click(bin);
        QCOMPARE(edit->text(), QString("1100"));
        QCOMPARE(dialog.Currently()->text(), QString("Currently  =  111100000 pixels"));

        TypeInto(edit, "10000000000");
        QCOMPARE(dialog.Currently()->text(), QString("Must be between 0 and 1111111000!"));
        QVERIFY(IsRed(dialog.Currently()));
        Click(dec);
        QCOMPARE(edit->text(), QString("1024"));
        QCOMPARE(dialog.Currently()->text(), QString("Must be between 0 and 1016!"));
        dialog.show();
        Screenshot(dialog, "dialog-203-range-in-decimal");

        Click(StandardButton(dialog, QDialogButtonBox::Ok));
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_Recorder.Beeps.size(), size_t(1));
        QCOMPARE(g_ChipDef.GetFeatureValue("hdp"), 480u);

        TypeInto(edit, "320");
        QCOMPARE(dialog.Currently()->text(), QString("Currently  =  480 pixels"));
        QVERIFY(!IsRed(dialog.Currently()));
        Click(StandardButton(dialog, QDialogButtonBox::Ok));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void DriveOverride(QDialog& dialog, const QStringList& controls) {
        auto* button = Control<QPushButton>(dialog, "2515");
        QVERIFY(button != nullptr && !button->isHidden());
        const auto enabledStates = [&] {
            QList<bool> states;
            for (const QString& id : controls) {
                QWidget* control = dialog.findChild<QWidget*>(id);
                states << (control != nullptr && control->isEnabled());
            }
            return states;
        };
        QCOMPARE(button->text(), QString("In use"));
        QCOMPARE(enabledStates(), QList<bool>(controls.size(), true));
        Click(button);
        QCOMPARE(button->text(), QString("Bypassed"));
        QCOMPARE(enabledStates(), QList<bool>(controls.size(), false));
        Click(button);
        QCOMPARE(button->text(), QString("In use"));
        QCOMPARE(enabledStates(), QList<bool>(controls.size(), true));
        Click(button);
    }

    void DriveSequenceEdits(SequenceDialog& dialog) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QListWidget* list = dialog.List();
        auto* type = Control<QComboBox>(dialog, "2513");
        QLineEdit* value = dialog.ValueEdit();
        QLineEdit* label = dialog.LabelEdit();
        QCOMPARE(Control<QLabel>(dialog, "2506")->text(), QString("Currently  =  (empty)"));
        QCOMPARE(list->count(), 0);
        QVERIFY(!type->isEnabled() && !value->isEnabled() && !label->isEnabled());
        Click(Control<QPushButton>(dialog, "5"));
        QCOMPARE(m_Recorder.Beeps.size(), size_t(1)); // nothing to delete

        Click(Control<QPushButton>(dialog, "4"));
        QCOMPARE(Rows(list), QStringList{"COMMAND 0h"});
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(type->hasFocus());
        QCOMPARE(type->currentText(), QString("COMMAND"));
        TypeInto(value, "2A");
        TypeInto(label, "Reset");
        QCOMPARE(Rows(list), QStringList{"COMMAND 2Ah  ( Reset )"});

        Click(Control<QPushButton>(dialog, "4"));
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(label->text(), QString());
        QTest::keyClick(type, Qt::Key_Down); // COMMAND to PARAM
        TypeInto(value, "5");
        Click(Control<QPushButton>(dialog, "4")); // a PARAM like the one before
        QTest::keyClick(type, Qt::Key_Down);      // PARAM to DELAY
        TypeInto(value, "10");
        QCOMPARE(Rows(list), (QStringList{"COMMAND 2Ah  ( Reset )", "PARAM 05h", "DELAY 10"}));
        QCOMPARE(value->text(), QString("10"));
        TypeInto(value, "1A"); // not decimal
        QCOMPARE(m_Recorder.Beeps.size(), size_t(2));
        QCOMPARE(value->text(), QString("10"));

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        QCOMPARE(type->currentText(), QString("COMMAND"));
        QCOMPARE(value->text(), QString("2A"));
        QCOMPARE(label->text(), QString("Reset"));
        Click(Control<QPushButton>(dialog, "3"));
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(type->hasFocus());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(3)).center());
        Click(Control<QPushButton>(dialog, "5"));
        QCOMPARE(Rows(list), (QStringList{"COMMAND 0h", "COMMAND 2Ah  ( Reset )", "PARAM 05h"}));
        QCOMPARE(list->currentRow(), 2);
        QCOMPARE(type->currentText(), QString("PARAM"));
        QCOMPARE(value->text(), QString("5"));
        Screenshot(dialog, "dialog-215-entries");
        Click(StandardButton(dialog, QDialogButtonBox::Ok));
    }

    // Clicks into an edit and types there, the focus staying in it.
    static void ClickAndType(QLineEdit* edit, const QString& text) {
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    void DriveAltKeys(SequenceDialog& dialog) {
        QVERIFY(ShowActive(dialog));
        // Keys through the window, as the keyboard sends them: the focused edit gets them
        // after the window's shortcuts, the buttons' Alt keys among them.
        QWindow* window = dialog.windowHandle();
        QListWidget* list = dialog.List();
        auto* type = Control<QComboBox>(dialog, "2513");
        QLineEdit* value = dialog.ValueEdit();
        QLineEdit* label = dialog.LabelEdit();
        Click(Control<QPushButton>(dialog, "4"));
        QTest::keyClick(type, Qt::Key_Down);
        QTest::keyClick(type, Qt::Key_Down);
        QCOMPARE(type->currentText(), QString("DELAY"));

        ClickAndType(value, "120");
        QVERIFY(value->hasFocus());
        QTest::keyClick(window, Qt::Key_A, Qt::AltModifier);
        // A button pressed by its key comes up a moment later, and only then acts.
        QTRY_COMPARE(Rows(list), (QStringList{"DELAY 120", "DELAY 0"}));
        QCOMPARE(list->currentRow(), 1);

        ClickAndType(label, "lbl");
        QTest::keyClick(window, Qt::Key_I, Qt::AltModifier);
        QTRY_COMPARE(Rows(list), (QStringList{"DELAY 120", "COMMAND 0h", "DELAY 0  ( lbl )"}));
        QCOMPARE(list->currentRow(), 1);

        // Typed into the entry that is then deleted: it goes with the entry, and the entry
        // selected next keeps its own value.
        Click(Control<QPushButton>(dialog, "4"));
        QCOMPARE(list->currentRow(), 3);
        ClickAndType(value, "7");
        QTest::keyClick(window, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(Rows(list), (QStringList{"DELAY 120", "COMMAND 0h", "DELAY 0  ( lbl )"}));
        QCOMPARE(list->currentRow(), 2);
        QCOMPARE(value->text(), QString("0"));
        QCOMPARE(label->text(), QString("lbl"));
        Click(StandardButton(dialog, QDialogButtonBox::Ok));
    }

    void DriveDeleteAllThenCancel(SequenceDialog& dialog) {
        dialog.show();
        QCOMPARE(Rows(dialog.List()),
                 (QStringList{"COMMAND 0h", "COMMAND 2Ah  ( Reset )", "PARAM 05h"}));
        QCOMPARE(dialog.List()->currentRow(), 0);
        Click(Control<QPushButton>(dialog, "6"));
        QCOMPARE(dialog.List()->count(), 0);
        QVERIFY(!dialog.ValueEdit()->isEnabled());
        QCOMPARE(dialog.ValueEdit()->text(), QString());
        const size_t beeps = m_Recorder.Beeps.size();
        Click(Control<QPushButton>(dialog, "6"));
        QCOMPARE(m_Recorder.Beeps.size(), beeps + 1);
        Click(StandardButton(dialog, QDialogButtonBox::Cancel));
    }

    ServiceRecorder m_Recorder;
    std::unique_ptr<UIFeatures> m_Model;
};

QObject* MakeFeatureDialogsTest() {
    return new FeatureDialogsTest;
}

#include "FeatureDialogsTest.moc"
