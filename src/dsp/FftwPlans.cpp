#include "dsp/FftwPlans.h"

#include <fftw3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "dsp/FftEngine.h"

namespace tonmira {

namespace {

constexpr int kPatientFrom = 16384;
// Longest time one measured plan may take to find (seconds of planning, once per machine).
constexpr double kPlanSeconds = 2.0;

struct PlanRegistry {
    std::mutex lock;  // guards everything below and every FFTW planner call
    std::map<int, fftw_plan> plans;
    bool planningSet = false;  // by SetFftPlanning; otherwise from the environment
    FftPlanning planning = FftPlanning::Measure;
    bool configured = false;  // mode chosen and wisdom read for the plans still to come
    std::string wisdomPath;   // measured wisdom is read from and saved here; empty: none
    bool canSave = false;

    ~PlanRegistry()
    {
        std::lock_guard<std::mutex> guard(lock);
        for (auto& entry : plans)
            fftw_destroy_plan(entry.second);
    }
};

PlanRegistry& Registry()
{
    static PlanRegistry registry;
    return registry;
}

// $XDG_CACHE_HOME/tonmira, or ~/.cache/tonmira; a relative XDG_CACHE_HOME is ignored, as the
// base directory rules say.
std::string CacheFolder()
{
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/tonmira";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.cache/tonmira";
    return {};
}

// mkdir -p, private to the user; true when the folder exists and can be written.
bool MakeWritableFolder(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return ::access(path.c_str(), W_OK | X_OK) == 0;
}

// Caller holds the lock.
void Configure(PlanRegistry& r)
{
    if (r.configured)
        return;
    r.configured = true;
    if (!r.planningSet) {
        const char* mode = std::getenv("TONMIRA_FFT_PLANNING");
        r.planning = mode && std::strcmp(mode, "estimate") == 0 ? FftPlanning::Estimate : FftPlanning::Measure;
    }
    r.wisdomPath.clear();
    r.canSave = false;
    // Estimated plans ignore wisdom, so that they do not depend on what this machine measured.
    if (r.planning == FftPlanning::Estimate)
        return;
    const std::string folder = CacheFolder();
    if (folder.empty())
        return;
    r.wisdomPath = folder + "/fftw-wisdom";
    r.canSave = MakeWritableFolder(folder);
    // A missing, unreadable or foreign file only means that plans are measured again.
    fftw_import_wisdom_from_filename(r.wisdomPath.c_str());
}

// Written beside the old file and renamed over it, so a reader never sees half a file. Merges
// what another process saved meanwhile. Caller holds the lock.
void SaveWisdom(const PlanRegistry& r)
{
    fftw_import_wisdom_from_filename(r.wisdomPath.c_str());
    const std::string temp = r.wisdomPath + ".tmp" + std::to_string(::getpid());
    FILE* file = std::fopen(temp.c_str(), "w");
    if (!file)
        return;
    fftw_export_wisdom_to_file(file);
    const bool written = std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !written || std::rename(temp.c_str(), r.wisdomPath.c_str()) != 0)
        std::remove(temp.c_str());
}

// Caller holds the lock.
fftw_plan MakePlan(PlanRegistry& r, int n)
{
    using ScratchFree = CFftEngine::FftwDeleter;
    const std::unique_ptr<double[], ScratchFree> scratchIn(fftw_alloc_real(static_cast<std::size_t>(n)));
    const std::unique_ptr<fftw_complex[], ScratchFree> scratchOut(fftw_alloc_complex(static_cast<std::size_t>(n) / 2 + 1));
    double* in = scratchIn.get();
    fftw_complex* out = scratchOut.get();
    fftw_plan plan = nullptr;
    if (in && out) {
        // Measuring writes into the arrays, so the plan is made on scratch arrays; FFTW runs
        // it later on any arrays of the same alignment, which its allocator guarantees.
        const unsigned flags = FFTW_PRESERVE_INPUT;
        // From 16384 on the patient planner finds plans 10-30 % faster than the measuring one
        // (at 131072 it takes seconds, once per machine); below, it finds the same plans.
        const unsigned rigor = n >= kPatientFrom ? FFTW_PATIENT : FFTW_MEASURE;
        if (r.planning == FftPlanning::Measure && !r.wisdomPath.empty()) {
            plan = fftw_plan_dft_r2c_1d(n, in, out, flags | rigor | FFTW_WISDOM_ONLY);
            if (!plan && r.canSave) {
                // The first use of a size on a machine plans on the caller's thread (the UI
                // thread in the window): a bound keeps that pause short; the planner then
                // keeps the best plan it found in that time.
                fftw_set_timelimit(kPlanSeconds);
                plan = fftw_plan_dft_r2c_1d(n, in, out, flags | rigor);
                fftw_set_timelimit(FFTW_NO_TIMELIMIT);
                if (plan)
                    SaveWisdom(r);
            }
        }
        if (!plan)
            plan = fftw_plan_dft_r2c_1d(n, in, out, flags | FFTW_ESTIMATE);
    }
    return plan;
}

}  // namespace

fftw_plan_s* SharedRealPlan(int n)
{
    if (n <= 0)
        return nullptr;
    PlanRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto found = r.plans.find(n);
    if (found != r.plans.end())
        return found->second;
    Configure(r);
    fftw_plan plan = MakePlan(r, n);
    if (plan)
        r.plans.emplace(n, plan);
    return plan;
}

void SetFftPlanning(FftPlanning planning)
{
    PlanRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.planningSet = true;
    r.planning = planning;
    r.configured = false;
}

std::string FftWisdomPath()
{
    PlanRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    Configure(r);
    return r.canSave ? r.wisdomPath : std::string();
}

double* FftwAllocReal(int n) { return fftw_alloc_real(static_cast<std::size_t>(n)); }

void* FftwAllocComplex(int n) { return fftw_alloc_complex(static_cast<std::size_t>(n)); }

void FftwFree(void* p) { fftw_free(p); }

}  // namespace tonmira
