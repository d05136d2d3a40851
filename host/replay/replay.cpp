// PLACEHOLDER until the replay tool is written.
