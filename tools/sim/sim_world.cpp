#include "sim_world.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace qvsim {

namespace {

constexpr double kEarthRadius = 6371000.0;  // metres, mean radius
constexpr double kMetresPerNm = 1852.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;
constexpr std::size_t kMaxSolution = 12;  // GSA has twelve PRN slots

double wrapDegrees(double deg)
{
    deg = std::fmod(deg, 360.0);
    return deg < 0 ? deg + 360.0 : deg;
}

// Great-circle distance in radians and initial bearing in degrees from 1 to 2.
void distanceBearing(double lat1, double lon1, double lat2, double lon2, double& dist, double& bearing)
{
    const double p1 = lat1 * kRad, p2 = lat2 * kRad, dl = (lon2 - lon1) * kRad;
    const double a = std::pow(std::sin((p2 - p1) / 2), 2) + std::cos(p1) * std::cos(p2) * std::pow(std::sin(dl / 2), 2);
    dist = 2 * std::atan2(std::sqrt(a), std::sqrt(std::max(0.0, 1 - a)));
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    bearing = wrapDegrees(std::atan2(y, x) / kRad);
}

}  // namespace

World::World(const WorldConfig& config)
    : config_(config), random_(config.seed), spreadRandom_(config.seed ^ 0x5EED5EED5EED5EEDULL), lat_(config.lat), lon_(config.lon),
      course_(wrapDegrees(config.courseDeg)), time_(config.startTime)
{
    if (config.gnss.enabled) {
        addGnssSky();
    } else {
        std::vector<int> gps(32);
        std::iota(gps.begin(), gps.end(), 1);
        shuffle(gps);
        const int count = std::clamp(config.satellites, 0, 36);
        for (int i = 0; i < count; ++i) {
            // GPS PRNs first; beyond 32 satellites the sky borrows SBAS numbers (33 up).
            sky_.push_back(newSatellite(i < 32 ? gps[static_cast<std::size_t>(i)] : i + 1));
        }
    }
    std::sort(sky_.begin(), sky_.end(), [](const Satellite& a, const Satellite& b) {
        return std::pair(a.system, a.prn) < std::pair(b.system, b.prn);
    });
    restart(StartKind::Cold);
}

void World::shuffle(std::vector<int>& numbers)
{
    for (std::size_t i = numbers.size() - 1; i > 0; --i)
        std::swap(numbers[i], numbers[static_cast<std::size_t>(random_.integer(0, static_cast<int>(i)))]);
}

World::Satellite World::newSatellite(int prn)
{
    Satellite sat;
    sat.prn = prn;
    sat.elevation = random_.uniform(5.0, 85.0);
    sat.azimuth = random_.uniform(0.0, 360.0);
    // A GPS satellite crosses the sky in a few hours; this is faster than life so
    // that a minute of watching shows the dots move.
    sat.elevationRate = random_.uniform(-0.05, 0.05);
    sat.azimuthRate = random_.uniform(-0.15, 0.15);
    sat.snrOffset = random_.uniform(-3.0, 3.0);
    return sat;
}

// `satellites` of each chosen system, numbered at random within the system.
void World::addGnssSky()
{
    for (const SimSystem system : config_.gnss.systems) {
        std::vector<int> numbers(static_cast<std::size_t>(systemSize(system)));
        std::iota(numbers.begin(), numbers.end(), 1);
        shuffle(numbers);
        const int count = std::clamp(systemCap(system, config_.satellites), 0, static_cast<int>(numbers.size()));
        for (int i = 0; i < count; ++i) {
            Satellite sat = newSatellite(numbers[static_cast<std::size_t>(i)]);
            sat.system = system;
            // The second band is mostly a little weaker, now and then stronger.
            sat.secondSignalOffset = random_.uniform(-7.0, 2.0);
            sky_.push_back(sat);
        }
    }
}

double World::restart(StartKind kind)
{
    double seconds = config_.acquireSeconds;
    if (kind == StartKind::Warm)
        seconds = config_.warmAcquireSeconds.value_or(config_.acquireSeconds / 3.0);
    else if (kind == StartKind::Hot)
        seconds = config_.hotAcquireSeconds;
    if (config_.acquireSpread > 0.0)
        seconds = std::max(0.0, seconds + spreadRandom_.uniform(-config_.acquireSpread, config_.acquireSpread));
    scheduleAcquisition(seconds);
    return seconds;
}

void World::scheduleAcquisition(double seconds)
{
    acquireStart_ = elapsed_;
    acquisition_ = seconds;
    // Every satellite is found within the first 60 % of the acquisition time, so
    // the 2D fix at two thirds has its satellites.
    for (Satellite& sat : sky_)
        sat.foundAfter = seconds * random_.uniform(0.1, 0.6);
}

void World::advance(double seconds)
{
    while (seconds > 1e-9) {
        const double dt = std::min(seconds, 1.0);
        seconds -= dt;
        elapsed_ += dt;
        time_ = config_.startTime + std::llround(elapsed_ * 100.0);

        const double distance = config_.speedKmh / 3.6 * dt / kEarthRadius;
        lat_ += distance * std::cos(course_ * kRad) / kRad;
        const double cosLat = std::max(std::cos(lat_ * kRad), 1e-6);
        lon_ += distance * std::sin(course_ * kRad) / cosLat / kRad;
        if (lat_ > 90.0 || lat_ < -90.0) {
            lat_ = lat_ > 0 ? 180.0 - lat_ : -180.0 - lat_;
            lon_ += 180.0;
            course_ = 180.0 - course_;
        }
        lon_ = wrapDegrees(lon_ + 180.0) - 180.0;
        course_ = wrapDegrees(course_ + config_.turnDegPerSecond * dt);

        for (Satellite& sat : sky_) {
            sat.azimuth = wrapDegrees(sat.azimuth + sat.azimuthRate * dt);
            sat.elevation += sat.elevationRate * dt;
            if (sat.elevation < 5.0 || sat.elevation > 88.0) {
                sat.elevationRate = -sat.elevationRate;
                sat.elevation = std::clamp(sat.elevation, 5.0, 88.0);
            }
            sat.snrNoise = std::clamp(sat.snrNoise + random_.uniform(-0.7, 0.7) * dt, -3.0, 3.0);
        }
    }
}

int World::snrOf(const Satellite& sat) const
{
    const double snr = 30.0 + 18.0 * std::sin(sat.elevation * kRad) + sat.snrOffset + sat.snrNoise;
    return static_cast<int>(std::lround(std::clamp(snr, 15.0, 55.0)));
}

bool World::tracked(const Satellite& sat) const
{
    return secondsSinceAcquireStart() >= sat.foundAfter;
}

// Indexes of the strongest tracked satellites above the threshold: at most
// twelve (the slots of one GSA), per system in GNSS mode (QZSS shares GPS's).
std::vector<std::size_t> World::solution() const
{
    std::vector<std::pair<int, std::size_t>> candidates;  // snr, index
    for (std::size_t i = 0; i < sky_.size(); ++i) {
        const int snr = snrOf(sky_[i]);
        if (tracked(sky_[i]) && snr >= config_.snrThreshold)
            candidates.emplace_back(snr, i);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::map<SimSystem, std::size_t> perGroup;
    std::vector<std::size_t> chosen;
    for (const auto& c : candidates) {
        const SimSystem system = sky_[c.second].system;
        if (++perGroup[system == SimSystem::Qzss ? SimSystem::Gps : system] <= kMaxSolution)
            chosen.push_back(c.second);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

// The solution's PRNs in ascending order.
std::vector<int> World::solutionPrns() const
{
    std::vector<int> prns;
    for (const std::size_t i : solution())
        prns.push_back(sky_[i].prn);
    return prns;
}

FixMode World::fix() const
{
    const double since = secondsSinceAcquireStart();
    const std::size_t usable = solutionPrns().size();
    if (since >= acquisition_ && usable >= 4)
        return FixMode::ThreeD;
    if (since >= acquisition_ * 2.0 / 3.0 && usable >= 3)
        return FixMode::TwoD;
    return FixMode::None;
}

WaypointReport World::waypointReport() const
{
    const Waypoint& wp = *config_.waypoint;
    WaypointReport r;
    r.originId = "START";
    r.destId = wp.name;
    r.destLat = wp.lat;
    r.destLon = wp.lon;
    double range, bearing, fromStart, startBearing, legDistance, legBearing;
    distanceBearing(lat_, lon_, wp.lat, wp.lon, range, bearing);
    distanceBearing(config_.lat, config_.lon, lat_, lon_, fromStart, startBearing);
    distanceBearing(config_.lat, config_.lon, wp.lat, wp.lon, legDistance, legBearing);
    r.rangeNm = range * kEarthRadius / kMetresPerNm;
    r.bearingDeg = bearing;
    r.crossTrackNm =
        std::asin(std::sin(fromStart) * std::sin((startBearing - legBearing) * kRad)) * kEarthRadius / kMetresPerNm;
    r.closingKnots = config_.speedKmh / 1.852 * std::cos((bearing - course_) * kRad);
    r.arrived = r.rangeNm < 0.05;
    return r;
}

ReceiverState World::state() const
{
    ReceiverState s;
    s.time = time_;
    s.fix = fix();
    s.lat = lat_;
    s.lon = lon_;
    s.altitude = config_.altitude;
    s.speedKnots = config_.speedKmh / 1.852;
    s.courseDeg = course_;
    const std::vector<std::size_t> used = s.fix != FixMode::None ? solution() : std::vector<std::size_t>{};
    for (std::size_t i = 0; i < sky_.size(); ++i) {
        const Satellite& sat = sky_[i];
        if (!tracked(sat))
            continue;
        SatView view{sat.prn, static_cast<int>(std::lround(sat.elevation)),
                     static_cast<int>(std::lround(sat.azimuth)) % 360, snrOf(sat)};
        view.system = sat.system;
        view.used = std::binary_search(used.begin(), used.end(), i);
        if (config_.gnss.dualBand)
            view.snr2 = static_cast<int>(std::lround(std::clamp(view.snr + sat.secondSignalOffset, 15.0, 55.0)));
        s.inView.push_back(view);
    }
    if (s.fix != FixMode::None) {
        for (const std::size_t i : used)
            s.usedPrns.push_back(sky_[i].prn);
        const double n = static_cast<double>(s.usedPrns.size());
        s.hdop = 0.6 + 4.0 / n;
        s.pdop = s.hdop * 1.6;
        s.vdop = std::sqrt(s.pdop * s.pdop - s.hdop * s.hdop);
    }
    s.gnss = config_.gnss;
    if (config_.waypoint)
        s.waypoint = waypointReport();
    return s;
}

}  // namespace qvsim
