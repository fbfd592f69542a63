-- cleanup
Drop   Table old;
DROP TABLE older;