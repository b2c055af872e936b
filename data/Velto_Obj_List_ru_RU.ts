<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Velto_Obj_List</name>
    <message>
        <source>Velto_Obj_List</source>
        <translation>Velto_Obj_List</translation>
    </message>
    <message>
        <source>Velto Object:</source>
        <translation>Объект Velto:</translation>
    </message>
    <message>
        <source>Obj.Name</source>
        <translation>Объект</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Object name or comment text&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Имя объекта или текст комментария&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>R.A.</source>
        <translation>Прям.восх.</translation>
    </message>
    <message>
        <source>Decl.</source>
        <translation>Склон.</translation>
    </message>
    <message>
        <source>Epoch</source>
        <translation>Эпоха</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Clear coordinates form&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Очистить поля координат&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Сброс</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Obtain object coordinates from Velto&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Взять из Velto координаты текущего объекта&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Get from Velto</source>
        <translation>Взять из Velto</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Sending object coordinates to Velto&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Передать координаты объекта в Velto&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Send Object to Velto</source>
        <translation>Передать в Velto</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Stopping Velto before next slewing&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Остановить Velto перед следующим наведением&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Stopping Velto</source>
        <translation>Стоп Velto</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Starting Velto slewing to this object&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Начать наведение Velto на этот объект&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Send and Slew Velto</source>
        <translation>Передать и навести</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Obtain current offsets from Velto&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Взять из Velto текущие смещения&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Взять</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Shift Velto by this offsets&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Сместить Velto на эти смещения&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Ввод</translation>
    </message>
    <message>
        <source>Offsets:</source>
        <translation>Смещ.:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;= Corr.HA[&amp;quot;]&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;= Попр.HA[&amp;quot;]&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;= Corr.Decl[&amp;quot;]&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;= Попр.Decl[&amp;quot;]&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Velto User: </source>
        <translation>Польз.: </translation>
    </message>
    <message>
        <source>Velto1000 users menu</source>
        <translation>Список пользователей Velto-1000</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Store and use the username and password&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Запомнить и использовать имя пользователя и пароль&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Uses password (for level &gt;=2)</source>
        <translation>Пароль (нужен для уровня &gt;=2)</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;View password&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Показать пароль&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Velto state:</source>
        <translation>Состояние Velto:</translation>
    </message>
    <message>
        <source>Velto Web-host:</source>
        <translation>Веб-узел Velto:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Windows</source>
        <translation>Окна</translation>
    </message>
    <message>
        <source>ObjList</source>
        <translation>Список</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation>Очистить список</translation>
    </message>
    <message>
        <source>Clear objects list</source>
        <translation>Очистить список объектов</translation>
    </message>
    <message>
        <source>Read and Add list</source>
        <translation>Прочитать и добавить список</translation>
    </message>
    <message>
        <source>Select .lst file, Read it and Add objects to list</source>
        <translation>Выбрать файл .lst, прочитать его и добавить объекты в список</translation>
    </message>
    <message>
        <source>Show/Hide Velto_List</source>
        <translation>Показать/скрыть Velto_List</translation>
    </message>
    <message>
        <source>Set Velto_List visible or hidden</source>
        <translation>Показать или скрыть окно списка Velto_List</translation>
    </message>
    <message>
        <source>Show/Hide Velto_Sky</source>
        <translation>Показать/скрыть Velto_Sky</translation>
    </message>
    <message>
        <source>Set Velto_Sky visible or hidden</source>
        <translation>Показать или скрыть карту неба Velto_Sky</translation>
    </message>
    <message>
        <source>Save list</source>
        <translation>Сохранить список</translation>
    </message>
    <message>
        <source>Save objects list to .lst file</source>
        <translation>Сохранить список объектов в файл .lst</translation>
    </message>
    <message>
        <source>Insert Object</source>
        <translation>Вставить объект</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Insert new object before current row&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Вставить новый объект перед текущей строкой&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Add Object</source>
        <translation>Добавить объект</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Append new object to the list end&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Добавить новый объект в конец списка&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Remove line</source>
        <translation>Удалить строку</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove current object or commen from list&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Удалить из списка текущий объект или комментарий&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Insert Comment</source>
        <translation>Вставить комментарий</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Use obj.name as comment string&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Вставить текст из поля «Объект» как строку комментария&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>in Russian</source>
        <translation>По-русски</translation>
    </message>
    <message>
        <source>Switch to current system Language</source>
        <translation>Переключиться на язык системы</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>О Qt</translation>
    </message>
    <message>
        <source>View as OVT (or AllSky)</source>
        <translation>Вид как на OVT (или всё небо)</translation>
    </message>
    <message>
        <source>A/Z Grid (or HA/Decl)</source>
        <translation>Сетка A/Z (или t/δ)</translation>
    </message>
    <message>
        <source>Show/Hide Velto_Corr</source>
        <translation>Показать/скрыть Velto_Corr</translation>
    </message>
    <message>
        <source>Set Velto_Corr visible or hidden</source>
        <translation>Показать или скрыть окно поправок Velto_Corr</translation>
    </message>
    <message>
        <source>User=%1 Level=%2 </source>
        <translation>Польз.=%1 Ур.=%2 </translation>
    </message>
    <message>
        <source>User=? Level = ? </source>
        <translation>Польз.=? Ур. = ? </translation>
    </message>
    <message>
        <source>HTTP error</source>
        <translation>ошибка HTTP</translation>
    </message>
    <message>
        <source>Empty Velto password!</source>
        <translation>Пустой пароль Velto!</translation>
    </message>
    <message>
        <source>Wrong or Empty R.A.!</source>
        <translation>Неверное или пустое прям. восх.!</translation>
    </message>
    <message>
        <source>Wrong or Empty Decl.</source>
        <translation>Неверное или пустое склонение</translation>
    </message>
    <message>
        <source>Wrong or Empty Offsets</source>
        <translation>Неверные или пустые смещения</translation>
    </message>
    <message>
        <source>Wrong or Empty Corrections</source>
        <translation>Неверные или пустые поправки</translation>
    </message>
    <message>
        <source>Not in Tracking mode</source>
        <translation>Телескоп не в режиме ведения</translation>
    </message>
    <message>
        <source>List not saved: %1</source>
        <translation>Список не сохранён: %1</translation>
    </message>
    <message>
        <source>Night colours</source>
        <translation>Ночные цвета</translation>
    </message>
    <message>
        <source>Dim red on black, to keep the eyes used to the dark</source>
        <translation>Тусклый красный на чёрном, чтобы глаза не отвыкали от темноты</translation>
    </message>
    <message>
        <source>Show/Hide Tonight</source>
        <translation>Показать/скрыть «Ночь»</translation>
    </message>
    <message>
        <source>Set Velto Tonight visible or hidden</source>
        <translation>Показать или скрыть окно «Ночь Velto»</translation>
    </message>
    <message>
        <source>Stop not sent: no Velto Web-host</source>
        <translation>Стоп не послан: нет веб-хоста Velto</translation>
    </message>
    <message>
        <source>Stop not sent: level below 3 or unknown</source>
        <translation>Стоп не послан: уровень ниже 3 или неизвестен</translation>
    </message>
    <message>
        <source>Open night log</source>
        <translation>Открыть журнал ночи</translation>
    </message>
    <message>
        <source>Open this night&apos;s log of commands, answers and events</source>
        <translation>Открыть журнал этой ночи: команды, ответы и события</translation>
    </message>
    <message>
        <source>The object list has rows inserted or removed by hand that are not saved in any file. Save the list before quitting?</source>
        <translation>В списке объектов есть строки, вставленные или удалённые вручную и не сохранённые ни в одном файле. Сохранить список перед выходом?</translation>
    </message>
</context>
<context>
    <name>Velto_about</name>
    <message>
        <source>About Velto_Obj_List</source>
        <translation>О программе Velto_Obj_List</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Автор</translation>
    </message>
    <message>
        <source>The Velto-1000 team</source>
        <translation>Команда Velto-1000</translation>
    </message>
    <message>
        <source>The application is designed for observations on the Velto-1000 telescope.&lt;br&gt;</source>
        <translation>Программа предназначена для наблюдений на телескопе Velto-1000.&lt;br&gt;</translation>
    </message>
    <message>
        <source>Its main differences from all previously developed ones are: </source>
        <translation>Её главные отличия от всех созданных ранее программ: </translation>
    </message>
    <message>
        <source>&lt;ul&gt;&lt;li&gt;It is developed on the basis of the widespread version of Qt5, which allows you to create (generate) versions of it for different versions of Windows and Linux.&lt;/li&gt;</source>
        <translation>&lt;ul&gt;&lt;li&gt;Она написана на распространённой версии Qt5, что позволяет собирать её для разных версий Windows и Linux.&lt;/li&gt;</translation>
    </message>
    <message>
        <source>&lt;li&gt;Does not use any special software interfaces to communicate with the Velto TCS, and it works over HTTP through Velto website, which have CGI-supporting programs.&lt;/li&gt;</source>
        <translation>&lt;li&gt;Для связи с системой управления телескопом (TCS) Velto она не требует никаких специальных программных интерфейсов: вся работа идёт по HTTP через веб-сайт Velto с CGI-программами.&lt;/li&gt;</translation>
    </message>
    <message>
        <source>&lt;li&gt;Implements the minimum necessary functions for observations on the telescope.&lt;/li&gt;</source>
        <translation>&lt;li&gt;Реализует минимально необходимый набор функций для наблюдений на телескопе.&lt;/li&gt;</translation>
    </message>
    <message>
        <source>&lt;li&gt;Reproduces the usual methods of convenient work with objects lists  in the well-established xxx.lst file format (as in previous programs).&lt;/li&gt;</source>
        <translation>&lt;li&gt;Сохраняет привычные удобные приёмы работы со списками объектов в устоявшемся формате файлов xxx.lst (как в прежних программах).&lt;/li&gt;</translation>
    </message>
    <message>
        <source>&lt;li&gt;At the same time, it implements the principle of graphical representation of objects in the sky (as in the program &lt;b&gt;&lt;i&gt;velto_list&lt;/i&gt;&lt;/b&gt;).&lt;/li&gt;</source>
        <translation>&lt;li&gt;Вместе с тем показывает объекты на карте неба (как программа &lt;b&gt;&lt;i&gt;velto_list&lt;/i&gt;&lt;/b&gt;).&lt;/li&gt;</translation>
    </message>
    <message>
        <source>&lt;li&gt;Allows you to save space on the screen by scaling or completely hiding unused windows.&lt;/li&gt;</source>
        <translation>&lt;li&gt;Позволяет экономить место на экране: ненужные окна можно уменьшить или совсем скрыть.&lt;/li&gt;</translation>
    </message>
    <message>
        <source>&lt;li&gt;Uses Qt-internationalization (via Qt-Linguist) to switch the application interface to the national language. At the moment, the Russian language is implemented for Russified OS.&lt;/li&gt;</source>
        <translation>&lt;li&gt;С помощью средств интернационализации Qt (Qt Linguist) переключает интерфейс на национальный язык. Сейчас для русифицированных ОС есть русский язык.&lt;/li&gt;</translation>
    </message>
    <message>
        <source>&lt;li&gt;It has the detailed internal description of the application called from the menu in the form of a separate window. Also in English and the national (now Russian) language.&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;li&gt;Содержит подробное встроенное руководство, которое открывается из меню в отдельном окне, — на английском и на национальном (сейчас русском) языке.&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
</context>
<context>
    <name>Velto_corr</name>
    <message>
        <source>Velto Corr</source>
        <translation>Поправки Velto</translation>
    </message>
    <message>
        <source>Velto-1000 correcrions</source>
        <translation>Поправки Velto-1000</translation>
    </message>
</context>
<context>
    <name>Velto_help</name>
    <message>
        <source>Velto_Obj_List manual</source>
        <translation>Руководство Velto_Obj_List</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>To the beginning</source>
        <translation>В начало</translation>
    </message>
    <message>
        <source>^</source>
        <translation>^</translation>
    </message>
</context>
<context>
    <name>Velto_list</name>
    <message>
        <source>Velto List</source>
        <translation>Список Velto</translation>
    </message>
    <message>
        <source>         LIst of observational objects.</source>
        <translation>         Список объектов наблюдения.</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Clear objects list&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Очистить список объектов&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation>Очистить список</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Select .lst file, Read it and Add objects to list&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Выбрать файл .lst, прочитать его и добавить объекты в список&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Read .lst file</source>
        <translation>Читать файл .lst</translation>
    </message>
    <message>
        <source>Choose objects list file</source>
        <translation>Выберите файл списка объектов</translation>
    </message>
    <message>
        <source>All files(*.*)</source>
        <translation>Все файлы(*.*)</translation>
    </message>
</context>
<context>
    <name>Velto_sky</name>
    <message>
        <source>Velto Sky</source>
        <translation>Небо Velto</translation>
    </message>
</context>
<context>
    <name>Velto_tonight</name>
    <message>
        <source>Velto Tonight</source>
        <translation>Ночь Velto</translation>
    </message>
    <message>
        <source>Only up now</source>
        <translation>Только над горизонтом</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Hide the objects below the horizon&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Скрыть объекты под горизонтом&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>UT %1</source>
        <translation>UT %1</translation>
    </message>
    <message>
        <source>Local %1</source>
        <translation>Местное %1</translation>
    </message>
    <message>
        <source>LST %1</source>
        <translation>Зв. время %1</translation>
    </message>
    <message>
        <source>LST %1 (computer clock)</source>
        <translation>Зв. время %1 (часы компьютера)</translation>
    </message>
    <message>
        <source>no TCS state</source>
        <translation>нет состояния TCS</translation>
    </message>
    <message>
        <source>TCS state %1 s old, stale</source>
        <translation>состояние TCS %1 с назад, устарело</translation>
    </message>
    <message>
        <source>TCS state %1 s old</source>
        <translation>состояние TCS %1 с назад</translation>
    </message>
    <message>
        <source>Sun %1°</source>
        <translation>Солнце %1°</translation>
    </message>
    <message>
        <source>Sun %1°, night until %2 UT</source>
        <translation>Солнце %1°, ночь до %2 UT</translation>
    </message>
    <message>
        <source>Sun %1°, dark at %2 UT</source>
        <translation>Солнце %1°, темно с %2 UT</translation>
    </message>
    <message>
        <source>Horizon: altitude 0 (no TCS profile)</source>
        <translation>Горизонт: высота 0 (нет профиля TCS)</translation>
    </message>
    <message>
        <source>Horizon: TCS reverse profile</source>
        <translation>Горизонт: обратный профиль TCS</translation>
    </message>
    <message>
        <source>Horizon: TCS direct profile</source>
        <translation>Горизонт: прямой профиль TCS</translation>
    </message>
</context>
<context>
    <name>Velto_tonight_model</name>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>R.A.</source>
        <translation>Прям.восх.</translation>
    </message>
    <message>
        <source>Decl.</source>
        <translation>Склон.</translation>
    </message>
    <message>
        <source>Epoch</source>
        <translation>Эпоха</translation>
    </message>
    <message>
        <source>HA</source>
        <translation>Час.угол</translation>
    </message>
    <message>
        <source>Alt</source>
        <translation>Высота</translation>
    </message>
    <message>
        <source>Az</source>
        <translation>Азимут</translation>
    </message>
    <message>
        <source>Airmass</source>
        <translation>Возд.масса</translation>
    </message>
    <message>
        <source>Transit</source>
        <translation>Кульминация</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Над гор.</translation>
    </message>
    <message>
        <source>Until</source>
        <translation>До</translation>
    </message>
    <message>
        <source>up</source>
        <translation>над</translation>
    </message>
    <message>
        <source>down</source>
        <translation>под</translation>
    </message>
    <message>
        <source>always</source>
        <translation>всегда</translation>
    </message>
    <message>
        <source>never</source>
        <translation>никогда</translation>
    </message>
</context>
</TS>
