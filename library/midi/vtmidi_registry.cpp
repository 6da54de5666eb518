// The song registry: songs loaded once under a name of the program's choosing.
#include "library/debug/vtdebug.h"
#include "library/midi/vtmidi.h"
#include "library/support/vterrors.h"

namespace VantrelMidiSystem {

using VantrelSystem::EVtMidi;
using VantrelSystem::TVantrelAutoPtr;
using VantrelSystem::VantrelGuard;
using VantrelSystem::VantrelTrace;

void TVantrelMidi::CreateData(const AnsiString& DataName, const AnsiString& FileName)
{
    VantrelGuard("TVantrelMidi::CreateData", [&] {
        ReleaseRetiredData();
        if (FDataMap.count(DataName)) return;
        auto entry = FDataMap.emplace(DataName, TVantrelAutoPtr<TVantrelMidiData>(new TVantrelMidiData)).first;
        try {
            entry->second.Get()->LoadFile(FileName);
        } catch (...) {
            FDataMap.erase(entry);
            throw;
        }
        if (VantrelDebugSystem::TVantrelDebug::GetDebug()) {
            AnsiString line = "TVantrelMidi::データ作成  FileName:" + FileName + "  DataName:" + DataName;
            VantrelTrace(line.c_str());
        }
    });
}

TVantrelMidiData* TVantrelMidi::GetSMFData(const AnsiString& DataName)
{
    return VantrelGuard("TVantrelMidi::GetSMFData", [&] {
        auto entry = FDataMap.find(DataName);
        if (entry == FDataMap.end())
            throw EVtMidi(VantrelSystem::VtErrorText::NoSuchData + DataName);
        return entry->second.Get();
    });
}

void TVantrelMidi::DeleteData(const AnsiString& DataName)
{
    VantrelGuard("TVantrelMidi::DeleteData", [&] {
        ReleaseRetiredData();
        auto entry = FDataMap.find(DataName);
        if (entry != FDataMap.end()) Unregister(entry);
        if (VantrelDebugSystem::TVantrelDebug::GetDebug()) {
            AnsiString line = "TVantrelMidi::データ削除DataName:" + DataName;
            VantrelTrace(line.c_str());
        }
    });
}

void TVantrelMidi::DeleteAllData()
{
    VantrelGuard("TVantrelMidi::DeleteAllData", [&] {
        VantrelTrace("TVantrelMidi::全データの削除");
        ReleaseRetiredData();
        while (!FDataMap.empty()) Unregister(FDataMap.begin());
    });
}

// Removes one entry. The song being played is stopped first; if the playback thread has not let
// go of it yet, it is kept alive until the thread is seen idle.
void TVantrelMidi::Unregister(TDataMap::iterator entry)
{
    if (Playing() && FData == entry->second.Get()) {
        if (FInitialized) Stop();
        if (Playing()) FRetiredData.push_back(entry->second);
    }
    FDataMap.erase(entry);
}

void TVantrelMidi::ReleaseRetiredData()
{
    if (!Playing()) FRetiredData.clear();
}

}  // namespace VantrelMidiSystem
