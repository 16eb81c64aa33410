#include "app/stats/now/now_tab.h"

#include <gtest/gtest.h>

#include "accuracy_figures.h"
#include "app/stats/now/fix_quality_text.h"
#include "nmea/sentence.h"
#include "sample_collector.h"

namespace {

TEST(FixQualityText, EveryGgaCodeInWords) {
  const std::pair<int, const char*> kCases[] = {
      {0, "No fix"},     {1, "GPS"},         {2, "DGPS"},           {3, "PPS"},
      {4, "RTK fixed"},  {5, "RTK float"},   {6, "Dead reckoning"}, {7, "Manual input"},
      {8, "Simulation"}, {9, "Unknown (9)"}, {-3, "Unknown (-3)"}};
  for (const auto& [code, words] : kCases) EXPECT_EQ(FixQualityText(code), words) << code;
}

// Each step feeds sentences and expects every row's text after it.
TEST(NowTab, ShowsWhatTheLastSentencesSentAndDashesForTheRest) {
  CNMEAParser parser;
  stats::SampleCollector samples(parser);
  const stats::AccuracyFigures figures;
  NowTab tab;
  struct Step {
    std::string sentences;
    std::array<const char*, NowTab::kRowCount> texts;
  };
  const Step kSteps[] = {
      {"", {"-", "-", "-", "-", "-", "-", "-", "-", "-"}},
      {Sentence("GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,545.4,M,46.9,M,,") +
           Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1") +
           Sentence("GPGSV,1,1,02,04,40,083,46,05,10,200,") +
           Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),
       {"RTK fixed", "8", "2", "2.50", "1.30", "2.10", "545.4 m", "84.4\u00B0", "0 s"}},
      // Empty fields are not shown as what an earlier sentence sent.
      {Sentence("GPGGA,123520,4807.038,N,01131.000,E,,,,,M,46.9,M,,") +
           Sentence("GPGSA,A,1,,,,,,,,,,,,,,,") + Sentence("GPRMC,123520,V,,,,,,,230394,,"),
       {"-", "-", "2", "-", "-", "-", "-", "-", "0 s"}},
      {Sentence("GPGGA,123521,4807.038,N,01131.000,E,0,00,,1.5,F,,,,"),
       {"No fix", "0", "2", "-", "-", "-", "1.5 ft", "-", "0 s"}},
  };
  for (const Step& step : kSteps) {
    Feed(parser, step.sentences);
    tab.Refresh(StatsContext{parser, samples, figures});
    for (int row = 0; row < NowTab::kRowCount; ++row) {
      EXPECT_EQ(tab.Text(static_cast<NowTab::Row>(row)),
                QString::fromUtf8(step.texts[static_cast<size_t>(row)]))
          << step.sentences << " row " << row;
    }
  }
  tab.Restart();
  tab.Refresh(StatsContext{parser, samples, figures});
  EXPECT_EQ(tab.Text(NowTab::FixAge), "-");
}

}  // namespace
