#pragma once

// Child processes for the benchmark: the reference decoder, our own probes in a fresh process
// each, and the Xvfb script.

#include <string>
#include <vector>

struct RunResult {
    int status = -1;    // exit code; -1 when the child did not exit normally or did not start
    std::string out;    // its standard output
    double wall = 0;    // seconds from start to exit
    double cpu = 0;     // user + system seconds of the child, all its threads included
    long maxRssKiB = 0; // the child's peak resident memory
};

// Runs argv (argv[0] looked up in PATH) with `env` ("NAME=value") added to our environment.
// Standard error is appended to errLog so that the table stays readable.
RunResult Run(const std::vector<std::string>& argv, const std::vector<std::string>& env,
              const std::string& errLog);

// The "key=value" fields of a probe's output line; missing keys read as -1.
double Field(const std::string& out, const std::string& key);

// The median of the runs' figures; -1 when there are none.
double Median(std::vector<double> v);
