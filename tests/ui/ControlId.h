#pragma once
// The ID a form gives a control of its table, for tests that find the
// control from outside (another process, a box of the system's): its place
// in the table, counted from FirstControlId; 0 for a field that is no
// control of the table.

#include "ui/Window.h"

namespace quillet::test {

template <class F>
int IdOf(ui::Window F::*field) {
  int id = F::FirstControlId;
  for (const ui::Control<F>& c : F::Controls()) {
    if (c.Field == field) return id;
    ++id;
  }
  return 0;
}

}  // namespace quillet::test
