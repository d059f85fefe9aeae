// The backup core arrives with the backup work.
