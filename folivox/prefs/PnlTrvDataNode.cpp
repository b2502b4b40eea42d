#include "prefs/PnlTrvDataNode.h"

bool operator==(const PnlTrvDataNode& a, const PnlTrvDataNode& b) {
  return a.fParent == b.fParent && a.fName == b.fName && a.fChildren == b.fChildren &&
         a.fType == b.fType && a.fDisplayText == b.fDisplayText && a.fKeyText == b.fKeyText &&
         a.fSelected == b.fSelected;
}
