#include "library/support/vterrors.h"

namespace VantrelSystem {

EVtMidi::EVtMidi(const AnsiString& detail) : Exception(Title + detail) {}

EVtAutoPtr::EVtAutoPtr(const AnsiString& detail) : Exception(Title + detail) {}

}  // namespace VantrelSystem
