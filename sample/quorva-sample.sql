-- The sample database of Quorva: a small invented wholesale business, so that a newcomer has
-- something to browse, query and print before configuring any alias. Every row is made up.
-- Order rows come from arithmetic on their numbers, so each build yields the same data.

BEGIN;

CREATE TABLE region (
    region_id INTEGER PRIMARY KEY,
    name VARCHAR(30) NOT NULL
);

CREATE TABLE customer (
    customer_id INTEGER PRIMARY KEY AUTOINCREMENT,
    company VARCHAR(40) NOT NULL,
    contact VARCHAR(30),
    city VARCHAR(30),
    country VARCHAR(20),
    region_id INTEGER REFERENCES region (region_id),
    customer_since DATE,
    notes TEXT
);

CREATE TABLE employee (
    employee_id INTEGER PRIMARY KEY,
    first_name VARCHAR(20) NOT NULL,
    last_name VARCHAR(20) NOT NULL,
    title VARCHAR(30),
    hired DATE,
    birth_date DATE,
    notes TEXT
);

CREATE TABLE product (
    product_id INTEGER PRIMARY KEY,
    name VARCHAR(40) NOT NULL,
    category VARCHAR(20),
    unit_price NUMERIC(10, 2),
    in_stock INTEGER,
    discontinued BOOLEAN,
    description TEXT
);

CREATE TABLE orders (
    order_id INTEGER PRIMARY KEY,
    customer_id INTEGER NOT NULL REFERENCES customer (customer_id),
    employee_id INTEGER REFERENCES employee (employee_id),
    order_date DATE NOT NULL,
    shipped_date DATE,
    ship_city VARCHAR(30),
    remarks TEXT
);

CREATE TABLE order_line (
    order_id INTEGER NOT NULL REFERENCES orders (order_id),
    line_no INTEGER NOT NULL,
    product_id INTEGER NOT NULL REFERENCES product (product_id),
    quantity INTEGER NOT NULL,
    unit_price NUMERIC(10, 2) NOT NULL,
    discount REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (order_id, line_no)
);

CREATE VIEW order_summary AS
SELECT o.order_id, o.order_date, c.company, c.country, count(l.line_no) AS lines,
       round(sum(l.quantity * l.unit_price * (1 - l.discount)), 2) AS total
FROM orders o
JOIN customer c ON c.customer_id = o.customer_id
JOIN order_line l ON l.order_id = o.order_id
GROUP BY o.order_id, o.order_date, c.company, c.country;

INSERT INTO region (region_id, name) VALUES
    (1, 'Nordic'),
    (2, 'Central Europe'),
    (3, 'Southern Europe'),
    (4, 'British Isles'),
    (5, 'Eastern Europe'),
    (6, 'Overseas');

INSERT INTO customer (company, contact, city, country, region_id, customer_since, notes) VALUES
    ('Bäckerei Müller & Söhne', 'Jürgen Müller', 'Göttingen', 'Germany', 2, '2015-03-02',
     'Orders flour improvers every second week. Deliveries before 06:00 through the yard gate.'),
    ('Øresund Tekstil ApS', 'Søren Dahl', 'Helsingør', 'Denmark', 1, '2016-07-19', NULL),
    ('Café São Jorge', 'Inês Conceição', 'Lisboa', 'Portugal', 3, '2017-01-09',
     'Prefers invoices in Portuguese. Pays within ten days.'),
    ('Łąkowa Ceramika', 'Paweł Wójcik', 'Kraków', 'Poland', 5, '2018-05-28', NULL),
    ('Ñandú Importaciones', 'Begoña Núñez', 'Sevilla', 'Spain', 3, '2014-11-14',
     'Large seasonal orders in spring; quiet in August.'),
    ('Žlutý Kůň s.r.o.', 'Zdeněk Dvořák', 'Brno', 'Czechia', 5, '2019-02-04', NULL),
    ('Åbo Fiskehandel', 'Åsa Lindqvist', 'Turku', 'Finland', 1, '2013-09-30', NULL),
    ('Ελαιώνας Κρήτης', 'Γιώργος Παπαδάκης', 'Chania', 'Greece', 3, '2020-06-15',
     'Contact name in Greek on purpose: the grid and the printout must show it unchanged.'),
    ('Hafenkontor Bremen', 'Frauke Ahlers', 'Bremen', 'Germany', 2, '2012-04-23', NULL),
    ('Thistle & Heather Ltd', 'Morag Campbell', 'Inverness', 'United Kingdom', 4, '2016-10-03',
     NULL),
    ('Brasserie du Pont', 'Hélène Lefèvre', 'Liège', 'Belgium', 2, '2015-08-11', NULL),
    ('Fjordlys Interiør', 'Ingrid Haugen', 'Bergen', 'Norway', 1, '2018-01-22', NULL),
    ('Tipografia Aurora', 'Lucia Bernardi', 'Bologna', 'Italy', 3, '2017-12-05',
     'Ships to the warehouse in Via Larga; the shop front takes no deliveries.'),
    ('Kaffeerösterei Zürcher', 'Reto Brändli', 'Zürich', 'Switzerland', 2, '2011-06-17', NULL),
    ('Green Lantern Books', 'Siobhán O''Brien', 'Galway', 'Ireland', 4, '2019-09-09', NULL),
    ('Molenaar Bakkerij', 'Pieter de Vries', 'Utrecht', 'Netherlands', 2, '2014-02-26', NULL),
    ('Szegedi Paprika Kft.', 'Zsófia Kovács', 'Szeged', 'Hungary', 5, '2020-03-12', NULL),
    ('Maple Leaf Provisions', 'Chloé Tremblay', 'Montréal', 'Canada', 6, '2016-05-06',
     'Customs paperwork must list each product line separately.'),
    ('Sydhavns Vinhandel', 'Mette Kjær', 'København', 'Denmark', 1, '2020-01-18', NULL),
    ('Atelier Rousseau', 'Émile Rousseau', 'Lyon', 'France', 2, '2013-03-27', NULL),
    ('Kleine Konditorei', 'Anneliese Groß', 'Graz', 'Austria', 2, '2015-11-30', NULL),
    ('Baltic Amber Trading', 'Rūta Kazlauskienė', 'Vilnius', 'Lithuania', 5, '2018-08-08', NULL),
    ('Harbourside Deli', 'Owen Pritchard', 'Cardiff', 'United Kingdom', 4, '2012-12-12', NULL),
    ('Quinta do Vale', 'João Magalhães', 'Porto', 'Portugal', 3, '2019-04-01', NULL),
    ('Bodega El Molino', 'Íñigo Echeverría', 'Bilbao', 'Spain', 3, '2017-07-07', NULL),
    ('Nordlicht Versand', 'Henrike Böhm', 'Kiel', 'Germany', 2, '2020-10-20', NULL),
    ('Tallinna Kohvik', 'Kadri Tamm', 'Tallinn', 'Estonia', 5, '2020-05-25', NULL),
    ('Southern Cross Foods', 'Liam Nguyen', 'Melbourne', 'Australia', 6, '2014-06-30',
     'Sea freight only; allow eight weeks.'),
    ('Casa Bianchi', 'Giulia Bianchi', 'Torino', 'Italy', 3, '2016-02-14', NULL),
    ('Vinohrady Vinárna', 'Tereza Procházková', 'Praha', 'Czechia', 5, '2018-11-11', NULL),
    ('Glenview Creamery', 'Fiona MacLeod', 'Aberdeen', 'United Kingdom', 4, '2013-08-19', NULL),
    ('Smørrebrød Huset', 'Jens Østergaard', 'Aarhus', 'Denmark', 1, '2019-02-02', NULL),
    ('La Petite Épicerie', 'Margaux Durand', 'Nantes', 'France', 2, '2019-12-16', NULL),
    ('Pueblo Verde', 'Ximena Ortiz', 'Valencia', 'Spain', 3, '2015-05-05', NULL),
    ('Alpenhof Käserei', 'Lukas Hofer', 'Innsbruck', 'Austria', 2, '2011-10-10', NULL),
    ('Riverside Roasters', 'Grace Kim', 'Vancouver', 'Canada', 6, '2020-07-27', NULL),
    ('Helsingin Leipomo', 'Väinö Mäkinen', 'Helsinki', 'Finland', 1, '2017-03-03', NULL),
    ('Dunărea Delicatese', 'Ioana Popescu', 'Galați', 'Romania', 5, '2019-09-14', NULL),
    ('Old Mill Trading Co', 'Harriet Fenwick', 'York', 'United Kingdom', 4, '2012-01-16', NULL),
    ('Kuchnia Babci', 'Małgorzata Zielińska', 'Gdańsk', 'Poland', 5, '2020-11-06',
     'Newest customer. Asked for a price list with gluten-free products marked.');

INSERT INTO employee (employee_id, first_name, last_name, title, hired, birth_date, notes) VALUES
    (1, 'Marta', 'Lindholm', 'Sales Manager', '2010-02-01', '1975-06-12',
     'Marta built the Nordic and Baltic accounts from nothing. She runs the weekly sales '
     || 'meeting, signs off on every discount above five per cent and keeps the price list. '
     || 'Before joining she spent eleven years buying for a chain of bakeries, which is why '
     || 'the bakery customers still ask for her by name. She speaks Swedish, Finnish, German '
     || 'and English, and is learning Estonian. Her notes on each account live in the shared '
     || 'folder and are the first thing new staff are asked to read.'),
    (2, 'Tomás', 'Ferreira', 'Sales Representative', '2012-09-17', '1984-01-30',
     'Covers Portugal and Spain.'),
    (3, 'Agnieszka', 'Nowak', 'Sales Representative', '2014-04-07', '1988-11-02',
     'Covers Poland, Czechia, Hungary and Romania.'),
    (4, 'Henrik', 'Brandt', 'Sales Representative', '2015-01-12', '1981-03-21', NULL),
    (5, 'Fiona', 'Gallagher', 'Sales Representative', '2016-06-20', '1990-07-08',
     'Covers the British Isles and the overseas accounts.'),
    (6, 'Luca', 'Moretti', 'Inside Sales', '2018-03-05', '1993-12-24', NULL),
    (7, 'Chantal', 'Lemaire', 'Inside Sales', '2019-10-14', '1995-05-17', NULL),
    (8, 'Bjørn', 'Halvorsen', 'Logistics Coordinator', '2011-11-28', '1979-09-09',
     'Plans the weekly routes and books sea freight.');

INSERT INTO product (product_id, name, category, unit_price, in_stock, discontinued, description)
VALUES
    (1, 'Rye Flour, Coarse 25 kg', 'Flour', 31.50, 120, 0,
     'Stone-milled whole rye for sourdough breads. Keeps six months in a dry store.'),
    (2, 'Wheat Flour Type 550, 25 kg', 'Flour', 24.90, 300, 0,
     'All-purpose bread flour with 11.5% protein.'),
    (3, 'Spelt Flour, Light 10 kg', 'Flour', 19.80, 85, 0, NULL),
    (4, 'Malt Extract, Dark 5 kg', 'Baking', 27.40, 40, 0,
     'Adds colour and a rounded sweetness to rye and wholemeal doughs.'),
    (5, 'Dried Yeast 500 g', 'Baking', 4.60, 500, 0, NULL),
    (6, 'Sourdough Starter Culture', 'Baking', 9.90, 60, 0,
     'Freeze-dried starter. One sachet raises a 10 kg batch after two refreshments.'),
    (7, 'Arabica Beans, Medium Roast 1 kg', 'Coffee', 18.20, 240, 0,
     'Washed beans from high-altitude farms, roasted for filter and espresso alike.'),
    (8, 'Robusta Beans, Dark Roast 1 kg', 'Coffee', 13.70, 180, 0, NULL),
    (9, 'Decaf Beans 1 kg', 'Coffee', 19.50, 70, 0,
     'Water-process decaffeinated; no solvents used.'),
    (10, 'Espresso Blend 1 kg', 'Coffee', 21.00, 210, 0, NULL),
    (11, 'Green Tea, Sencha 500 g', 'Tea', 16.40, 90, 0, NULL),
    (12, 'Black Tea, Assam 500 g', 'Tea', 11.80, 130, 0, NULL),
    (13, 'Herbal Infusion, Camomile 250 g', 'Tea', 7.30, 75, 1,
     'Discontinued: the grower stopped supplying. Remaining stock sold at list price.'),
    (14, 'Olive Oil, Extra Virgin 5 l', 'Oil', 44.00, 65, 0,
     'Cold-pressed Koroneiki olives. Harvest date printed on every tin.'),
    (15, 'Rapeseed Oil, Cold-Pressed 5 l', 'Oil', 22.50, 95, 0, NULL),
    (16, 'Walnut Oil 1 l', 'Oil', 17.90, 30, 0, NULL),
    (17, 'Sea Salt Flakes 1 kg', 'Pantry', 8.40, 160, 0, NULL),
    (18, 'Smoked Paprika 500 g', 'Pantry', 12.60, 55, 0,
     'Hot-smoked over oak. Sweet, not spicy.'),
    (19, 'Saffron Threads 5 g', 'Pantry', 29.00, 25, 0, NULL),
    (20, 'Vanilla Pods, 10 pieces', 'Pantry', 23.80, 45, 0, NULL),
    (21, 'Dark Chocolate 70%, 2.5 kg', 'Confectionery', 39.50, 80, 0,
     'Callets for tempering. Single-origin cocoa, no vanilla added.'),
    (22, 'Marzipan Paste 1 kg', 'Confectionery', 14.20, 100, 0, NULL),
    (23, 'Candied Orange Peel 1 kg', 'Confectionery', 15.60, 50, 0, NULL),
    (24, 'Hazelnuts, Roasted 1 kg', 'Nuts', 18.90, 110, 0, NULL),
    (25, 'Almonds, Blanched 1 kg', 'Nuts', 16.70, 140, 0, NULL),
    (26, 'Pistachios, Shelled 500 g', 'Nuts', 21.30, 35, 0, NULL),
    (27, 'Aged Gouda 1 kg', 'Dairy', 19.90, 60, 0, NULL),
    (28, 'Alpine Hard Cheese 1 kg', 'Dairy', 26.40, 45, 0,
     'Twelve months on spruce boards. Ships chilled, never frozen.'),
    (29, 'Cultured Butter 1 kg', 'Dairy', 12.30, 90, 0, NULL),
    (30, 'Paper Bags, Brown, 1000 pieces', 'Supplies', 34.00, 25, 1, NULL);

INSERT INTO orders (order_id, customer_id, employee_id, order_date, shipped_date, ship_city,
                    remarks)
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)
SELECT i,
       (i * 7) % 40 + 1,
       (i * 3) % 8 + 1,
       date('2021-01-04', '+' || (i * 2 + i % 3) || ' days'),
       CASE WHEN i % 17 = 0 THEN NULL
            ELSE date('2021-01-04', '+' || (i * 2 + i % 3 + i % 9 + 1) || ' days') END,
       (SELECT city FROM customer WHERE customer_id = (i * 7) % 40 + 1),
       CASE i % 11
           WHEN 0 THEN 'Deliver to the back entrance; the front is closed on Mondays.'
           WHEN 4 THEN 'Customer asked for a single invoice covering this and the previous '
                       || 'order. Check that both carry the same reference before sending, '
                       || 'and copy the accounts office.'
           WHEN 7 THEN 'Rush order.'
           ELSE NULL END
FROM n;

INSERT INTO order_line (order_id, line_no, product_id, quantity, unit_price, discount)
WITH RECURSIVE line(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM line WHERE k < 4)
SELECT o.order_id, line.k, p.product_id, (o.order_id + line.k * 5) % 20 + 1, p.unit_price,
       CASE WHEN (o.order_id + line.k * 5) % 20 + 1 >= 15 THEN 0.05 ELSE 0 END
FROM orders o
JOIN line ON line.k <= 1 + o.order_id % 4
JOIN product p ON p.product_id = (o.order_id * 13 + line.k * 7) % 30 + 1
ORDER BY o.order_id, line.k;

COMMIT;
