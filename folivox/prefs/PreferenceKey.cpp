#include "prefs/PreferenceKey.h"

PMString PreferenceKey(const PMString& name) {
  PMString key(name);
  key.SetTranslatable(false);
  if (key.IsEmpty() || key.GetChar(key.CharCount() - 1) != ':')
    key.Append(":");
  return key;
}
