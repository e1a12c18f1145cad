#include "addin/object_map.h"

#include "addin/bitmap_handler.h"
#include "addin/harbolt.h"
#include "addin/harbolt_ids.h"
#include "addin/pm_page.h"
#include "addin/sw_document.h"

namespace harbolt {
namespace {

constexpr ObjectMapEntry kObjectMap[] = {
    {&CLSID_Harbolt, u"Harbolt.Harbolt.1", u"Harbolt.Harbolt", u"CHarbolt Object",
     &CreateComInstance<CHarbolt, IHarbolt>},
    {&CLSID_SwDocument, u"HarboltSwDocument.1", u"Harbolt.SwDocument", u"CSwDocument Object",
     &CreateComInstance<CSwDocument, ISwDocument>},
    {&CLSID_UserPropertyManagerPage, u"Harbolt.UserPropertyManagerPage.1",
     u"Harbolt.UserPropertyManagerPage", u"CUserPropertyManagerPage Object",
     &CreateComInstance<CUserPropertyManagerPage, IUserPropertyManagerPage>},
    {&CLSID_BitmapHandler, u"Harbolt.BitmapHandler.1", u"Harbolt.BitmapHandler",
     u"CBitmapHandler Object", &CreateComInstance<CBitmapHandler, IBitmapHandler>},
    {&CLSID_PMPageHandler, u"Harbolt.PMPageHandler.1", u"Harbolt.PMPageHandler",
     u"CPMPageHandler Object", &CreateComInstance<CPMPageHandler, IPMPageHandler>},
};

}  // namespace

std::span<const ObjectMapEntry> ObjectMap() { return kObjectMap; }

const ObjectMapEntry* FindObjectMapEntry(REFCLSID clsid) {
  for (const ObjectMapEntry& entry : kObjectMap) {
    if (*entry.clsid == clsid) return &entry;
  }
  return nullptr;
}

}  // namespace harbolt
