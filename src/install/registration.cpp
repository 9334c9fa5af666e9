// filled in by the installation engine
