// The main window: the keypad, the colour keys, the serial control and the command log, with the
// panel's handlers and the controller link's methods.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/window.h"

class cbbevil;
class cbkey2;
namespace fw {
class Listbox;
class MenuItem;
class QuitMenuItem;
class Serial;
}  // namespace fw

class zq8 : public fw::Window {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    // The implicit instance: the live main window, or a new one, built and opened.
    static std::shared_ptr<zq8> zq8_();

    // The protocol number in force: 0 Sony SIRC, 1 Philips RC6.
    std::int32_t zq8lang = 0;

    // The classes of the window's controls.
    class ZQ8k_;
    class colork_;
    class Serialc_;

    // The window's controls, found by name (and index); NilObjectException when missing.
    cbbevil& ZQ8k(std::int32_t index) const;
    cbkey2& colork(std::int32_t index) const;
    fw::Serial& Serialc() const;
    fw::Listbox& Listbox1() const;

    // Building. The window's own operations are virtual, so that a subclass's override would be
    // the one called and the one bound to the keys.
    void Layout() override;
    void CreateControls() override;
    virtual void CreateControls0();
    virtual void CreateControls1();

    // Clicks: a keypad key sends its code, or without one adds a "Key " row to the shown log;
    // a colour key sends the code a key code table gave it, and before that nothing.
    virtual void ZQ8k_Action(cbbevil& key);
    virtual void colork_Action(cbkey2& key);
    // The serial control lost its line: the title stops naming a port that frames no longer
    // reach.
    virtual void Serialc_Error(fw::Serial& serial);

    // The menu items, by name; nullptr when the menu bar holds no such item.
    fw::MenuItem* ViewMenu() const;
    fw::MenuItem* Optionsviewcmds() const;
    fw::MenuItem* OptionsProtocol() const;
    fw::MenuItem* ProtocolPhillipsRC6() const;
    fw::MenuItem* ProtocolSonySirc() const;
    fw::MenuItem* remdisable() const;
    fw::MenuItem* remenable() const;
    fw::MenuItem* ViewSelectPort() const;
    fw::MenuItem* EditMenu() const;
    fw::MenuItem* EditSelectAll() const;
    fw::MenuItem* UntitledMenu0() const;
    fw::MenuItem* EditClear() const;
    fw::MenuItem* EditPaste() const;
    fw::MenuItem* EditCopy() const;
    fw::MenuItem* EditCut() const;
    fw::MenuItem* UntitledMenu1() const;
    fw::MenuItem* EditUndo() const;
    fw::MenuItem* FileMenu() const;
    fw::QuitMenuItem* FileQuit() const;

    void AddMenuHandlers(fw::Window& window) override;

    // Opening, closing and the keyboard map.
    void Event_Open() override;
    void Event_Close() override;
    bool Event_KeyDown(const fw::String& key) override;

    // The menu commands; each returns true: handled.
    bool ViewSelectPort_Action();
    bool remenable_Action();
    bool remdisable_Action();
    bool Optionsviewcmds_Action();
    bool ProtocolSonySirc_Action();
    bool ProtocolPhillipsRC6_Action();

    // The controller link.
    void cmdout(std::int8_t cmd);
    // The index of the first port of the machine's list with that name, or -1.
    std::int32_t getserialnum(const fw::String& name);
    // The port at that index of the machine's list as last taken (the rows the port dialog
    // showed, the list getserialnum searched); a negative index only closes the port.
    void opencontrollerport(std::int32_t n);
    void write2eeprom(std::int8_t a, std::int8_t b, std::int8_t c);
    fw::String str2hex(const fw::String& s);
    fw::String byte2hex(std::uint8_t b);
    void display(const fw::String& frame);

    // The protocol switch and its key code tables.
    void init_sirc();
    void init_rc6();
    void setzq8lang(std::int32_t n);
};
