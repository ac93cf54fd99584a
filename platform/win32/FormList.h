// The list of loaded forms: whose window the program's boxes belong to, and the message loop
// that runs while any form is loaded.
#pragma once

#include <windows.h>

#include <vector>

namespace volane::win32 {

class Form;

// Every loaded form, in the order of loading. Loading adds a form, unloading removes it; the
// message loop runs while the list holds a form.
class FormList {
  public:
    void Add(Form& form);
    void Remove(const Form& form);
    bool Contains(const Form& form) const;
    bool Empty() const { return forms_.empty(); }
    std::vector<Form*> Loaded() const { return forms_; }
    // The window that the program's boxes belong to: the last loaded form whose window shows (a
    // modal form while it shows, else the main one); null when none shows.
    HWND ActiveWindow() const;
    // Unloads every loaded form, one after another.
    void UnloadAll();
    // Handles messages until no form is loaded; a WM_QUIT ends it early. Returns the exit code.
    int RunMessageLoop();

  private:
    std::vector<Form*> forms_;
};

}  // namespace volane::win32
