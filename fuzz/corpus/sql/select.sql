SELECT * FROM customers WHERE name LIKE '%a%';
