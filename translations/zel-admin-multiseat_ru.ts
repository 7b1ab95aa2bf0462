<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>ApplyLock</name>
    <message>
        <source>%1 is not a lock file of this program.</source>
        <translation>%1 — не файл блокировки этой программы.</translation>
    </message>
    <message>
        <source>%1 is held by another program.</source>
        <translation>%1 удерживается другой программой.</translation>
    </message>
</context>
<context>
    <name>AttachProgressDialog</name>
    <message>
        <source>%1 to %2</source>
        <translation>%1 → %2</translation>
    </message>
</context>
<context>
    <name>ChildProcess</name>
    <message>
        <source>%1 did not answer within %2 seconds.</source>
        <translation>%1 не ответил за %2 с.</translation>
    </message>
    <message>
        <source>%1 could not be started: %2</source>
        <translation>Не удалось запустить %1: %2</translation>
    </message>
    <message>
        <source>%1 crashed</source>
        <translation>%1 аварийно завершился</translation>
    </message>
    <message>
        <source>%1 wrote more than %2 MiB of output.</source>
        <translation>%1 вывел более %2 МиБ данных.</translation>
    </message>
</context>
<context>
    <name>CreateSeatDialog</name>
    <message>
        <source>New seat creating</source>
        <translation>Создание рабочего места</translation>
    </message>
    <message>
        <source>Seat name</source>
        <translation>Название рабочего места</translation>
    </message>
    <message>
        <source>Enter seat name here</source>
        <translation>Введите название рабочего места</translation>
    </message>
    <message>
        <source>Videocard</source>
        <translation>Видеокарта</translation>
    </message>
    <message>
        <source>Choose videocard here</source>
        <translation>Выберите видеокарту</translation>
    </message>
    <message>
        <source>Enter seat name to continue</source>
        <translation>Чтобы продолжить, введите название</translation>
    </message>
    <message>
        <source>Create seat</source>
        <translation>Создать рабочее место</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
</context>
<context>
    <name>DevTreeWidget</name>
    <message>
        <source>Videocard</source>
        <translation>Видеокарта</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Клавиатура</translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>Мышь</translation>
    </message>
    <message>
        <source>Unrecognized devices</source>
        <translation>Нераспознанные устройства</translation>
    </message>
</context>
<context>
    <name>DeviceToolTips</name>
    <message>
        <source>Port: %1</source>
        <translation>Порт: %1</translation>
    </message>
    <message>
        <source>Driver: %1</source>
        <translation>Драйвер: %1</translation>
    </message>
    <message>
        <source>assigned to %1, which no longer exists</source>
        <translation>назначено на %1, которого больше нет</translation>
    </message>
    <message>
        <source>Seat: %1</source>
        <translation>Рабочее место: %1</translation>
    </message>
    <message>
        <source>Unknown device %1</source>
        <translation>Неизвестное устройство %1</translation>
    </message>
</context>
<context>
    <name>Form</name>
    <message>
        <source>Zel admin multiseat</source>
        <translation>Zel: администрирование рабочих мест</translation>
    </message>
    <message>
        <source>Rename seat</source>
        <translation>Переименовать рабочее место</translation>
    </message>
    <message>
        <source>Main seat</source>
        <translation>Основное рабочее место</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Устройства</translation>
    </message>
    <message>
        <source>Videocard</source>
        <translation>Видеокарта</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Клавиатура</translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>Мышь</translation>
    </message>
    <message>
        <source>Unrecognized devices</source>
        <translation>Нераспознанные устройства</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Панель инструментов</translation>
    </message>
    <message>
        <source>Save changes</source>
        <translation>Сохранить изменения</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>Reload configuration from system</source>
        <translation>Перечитать конфигурацию из системы</translation>
    </message>
    <message>
        <source>Add seat</source>
        <translation>Добавить рабочее место</translation>
    </message>
    <message>
        <source>Allow creation of seats without input devices</source>
        <translation>Разрешить создание рабочих мест без устройств ввода</translation>
    </message>
    <message>
        <source>Show all devices, include unrecognized </source>
        <translation>Показывать все устройства, включая нераспознанные</translation>
    </message>
    <message>
        <source>Put every device back on the main seat and remove every further seat</source>
        <translation>Вернуть все устройства на основное рабочее место и удалить остальные рабочие места</translation>
    </message>
    <message>
        <source>Find a keyboard or mouse in the window by pressing a key, clicking or moving it</source>
        <translation>Найти клавиатуру или мышь в окне: нажмите клавишу, щёлкните или подвигайте мышь</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>&amp;Save changes</source>
        <translation>&amp;Сохранить изменения</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <source>Show &amp;help</source>
        <translation>Показать &amp;справку</translation>
    </message>
    <message>
        <source>&amp;Reload configuration</source>
        <translation>&amp;Перечитать конфигурацию</translation>
    </message>
    <message>
        <source>&amp;Add seat</source>
        <translation>&amp;Добавить рабочее место</translation>
    </message>
    <message>
        <source>Allow seats &amp;without input devices</source>
        <translation>&amp;Разрешить рабочие места без устройств ввода</translation>
    </message>
    <message>
        <source>Show &amp;unrecognized devices</source>
        <translation>Показывать &amp;нераспознанные устройства</translation>
    </message>
    <message>
        <source>Rese&amp;t all seats…</source>
        <translation>С&amp;бросить все рабочие места…</translation>
    </message>
    <message>
        <source>&amp;Identify devices</source>
        <translation>&amp;Опознать устройства</translation>
    </message>
    <message>
        <source>&amp;About…</source>
        <translation>&amp;О программе…</translation>
    </message>
    <message>
        <source>The program&apos;s version and the display manager it found</source>
        <translation>Версия программы и найденный диспетчер дисплеев</translation>
    </message>
    <message>
        <source>Ex&amp;port layout…</source>
        <translation>&amp;Экспорт распределения…</translation>
    </message>
    <message>
        <source>Write the layout shown, saved or not, to a file for another machine of the same make</source>
        <translation>Записать показанное распределение, сохранённое или нет, в файл для другого такого же компьютера</translation>
    </message>
    <message>
        <source>&amp;Import layout…</source>
        <translation>&amp;Импорт распределения…</translation>
    </message>
    <message>
        <source>Lay this machine&apos;s devices out as a layout file says; nothing is saved until Save</source>
        <translation>Распределить устройства этого компьютера по файлу распределения; ничего не сохраняется до сохранения</translation>
    </message>
    <message>
        <source>Restore pre&amp;vious layout…</source>
        <translation>&amp;Вернуть прежнее распределение…</translation>
    </message>
    <message>
        <source>Bring back the layout as it was before one of the last saves or resets</source>
        <translation>Вернуть распределение, каким оно было до одного из последних сохранений или сбросов</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
</context>
<context>
    <name>IdentifyMode</name>
    <message>
        <source>Press a key or a mouse button, or move a mouse: its device is shown here.</source>
        <translation>Нажмите клавишу или кнопку мыши либо подвигайте мышь: устройство будет показано здесь.</translation>
    </message>
    <message numerus="yes">
        <source>(and %n more)</source>
        <translation>
            <numerusform>(и ещё %n)</numerusform>
            <numerusform>(и ещё %n)</numerusform>
            <numerusform>(и ещё %n)</numerusform>
        </translation>
    </message>
    <message>
        <source>Key pressed on: %1 (%2)</source>
        <translation>Нажата клавиша: %1 (%2)</translation>
    </message>
    <message>
        <source>Button pressed on: %1 (%2)</source>
        <translation>Нажата кнопка: %1 (%2)</translation>
    </message>
    <message>
        <source>Moved: %1 (%2)</source>
        <translation>Движение: %1 (%2)</translation>
    </message>
    <message>
        <source>Cannot watch %1 (%2): %3</source>
        <translation>Не удаётся следить за %1 (%2): %3</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Blinking the lights of %1.</source>
        <translation>Мигают индикаторы: %1.</translation>
    </message>
    <message>
        <source>Identify devices is on, but no keyboard or mouse is left to watch.</source>
        <translation>Опознание устройств включено, но не осталось ни одной клавиатуры или мыши для наблюдения.</translation>
    </message>
</context>
<context>
    <name>InputWatcher</name>
    <message>
        <source>not an input device</source>
        <translation>не устройство ввода</translation>
    </message>
</context>
<context>
    <name>KeyHint</name>
    <message>
        <source>%1 (%2)</source>
        <extracomment>A tool tip and the key that does the same</extracomment>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>KeyboardLights</name>
    <message>
        <source>The lights of a keyboard are blinking already.</source>
        <translation>Индикаторы клавиатуры уже мигают.</translation>
    </message>
    <message>
        <source>This keyboard has no lights the tool can reach.</source>
        <translation>У этой клавиатуры нет доступных индикаторов.</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>Не удалось записать %1: %2</translation>
    </message>
</context>
<context>
    <name>LayoutFile</name>
    <message>
        <source>The file is larger than %1 KiB: it is no layout.</source>
        <translation>Файл больше %1 КиБ: это не распределение.</translation>
    </message>
    <message>
        <source>The file is no JSON document: %1 at byte %2.</source>
        <translation>Файл не является документом JSON: %1 в байте %2.</translation>
    </message>
    <message>
        <source>The file holds no layout object.</source>
        <translation>В файле нет объекта распределения.</translation>
    </message>
    <message>
        <source>format: &quot;%1&quot; is not &quot;%2&quot;</source>
        <translation>format: «%1» — не «%2»</translation>
    </message>
    <message>
        <source>version: this tool reads version %1 only</source>
        <translation>version: программа читает только версию %1</translation>
    </message>
    <message>
        <source>%1: a seat must be an object</source>
        <translation>%1: рабочее место должно быть объектом</translation>
    </message>
    <message>
        <source>%1.id: &quot;%2&quot; is no further seat (&quot;seat&quot;, then letters, digits, &quot;_&quot; or &quot;-&quot;; not seat0)</source>
        <translation>%1.id: «%2» — не дополнительное рабочее место («seat», затем буквы, цифры, «_» или «-»; не seat0)</translation>
    </message>
    <message>
        <source>%1.id: the seat &quot;%2&quot; is named twice</source>
        <translation>%1.id: рабочее место «%2» названо дважды</translation>
    </message>
    <message>
        <source>%1 is no regular file.</source>
        <translation>%1 — не обычный файл.</translation>
    </message>
    <message>
        <source>%1: unknown field &quot;%2&quot;</source>
        <translation>%1: неизвестное поле «%2»</translation>
    </message>
    <message>
        <source>%1 must be a text</source>
        <translation>%1 должно быть текстом</translation>
    </message>
    <message>
        <source>%1 must be a list</source>
        <translation>%1 должно быть списком</translation>
    </message>
    <message>
        <source>%1: a device must be an object</source>
        <translation>%1: устройство должно быть объектом</translation>
    </message>
    <message>
        <source>%1: category &quot;%2&quot; is none of %3</source>
        <translation>%1: категория «%2» не входит в %3</translation>
    </message>
    <message>
        <source>%1: &quot;keys&quot; is empty</source>
        <translation>%1: «keys» пуст</translation>
    </message>
    <message>
        <source>%1: a key must be a text without blanks around it</source>
        <translation>%1: ключ должен быть текстом без пробелов по краям</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is no sysfs path</source>
        <translation>%1: «%2» — не путь sysfs</translation>
    </message>
    <message>
        <source>%1: the key &quot;%2&quot; is named twice</source>
        <translation>%1: ключ «%2» назван дважды</translation>
    </message>
</context>
<context>
    <name>LayoutHistory</name>
    <message>
        <source>%1 is not a folder of its own that only the administrator can change.</source>
        <translation>%1 — не отдельная папка, которую может менять только администратор.</translation>
    </message>
</context>
<context>
    <name>LoginctlUtil</name>
    <message>
        <source>A loginctl command is still running; the new one was not started.</source>
        <translation>Команда loginctl ещё выполняется; новая не запущена.</translation>
    </message>
    <message>
        <source>Crashed: code is %1</source>
        <translation>Аварийное завершение: код %1</translation>
    </message>
    <message>
        <source>loginctl %1: unexpected output</source>
        <translation>loginctl %1: неожиданный вывод</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Failed to make changes to the file:
 %1 
Please make the required changes manually</source>
        <translation>Не удалось изменить файл:
 %1 
Внесите необходимые изменения вручную</translation>
    </message>
    <message>
        <source>Error!</source>
        <translation>Ошибка!</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Disconnecting main videocard from main seat is forbidden.</source>
        <translation>Отключать основную видеокарту от основного рабочего места запрещено.</translation>
    </message>
    <message>
        <source>Disconnecting all videocards from main seat is forbidden.</source>
        <translation>Отключать все видеокарты от основного рабочего места запрещено.</translation>
    </message>
    <message>
        <source>The main place will be disconnected from important devices. 
Do you want to continue?</source>
        <translation>Основное рабочее место лишится важных устройств. 
Продолжить?</translation>
    </message>
    <message>
        <source>After saving the settings, the graphical shell will be restarted. 
Do you want to continue?</source>
        <translation>После сохранения настроек графическая оболочка будет перезапущена. 
Продолжить?</translation>
    </message>
    <message>
        <source>Creating seats without videocard is forbidden.</source>
        <translation>Создавать рабочие места без видеокарты запрещено.</translation>
    </message>
    <message>
        <source>Seats without devices will be deleted. 
Do you want to continue?</source>
        <translation>Рабочие места без устройств будут удалены. 
Продолжить?</translation>
    </message>
    <message>
        <source>Creating seats without input devices disabled in Edit menu.
Enable this option and try again or reconfigure devices.</source>
        <translation>Создание рабочих мест без устройств ввода отключено в меню «Правка».
Включите этот параметр и повторите попытку или распределите устройства иначе.</translation>
    </message>
    <message>
        <source>An unexpected error has occurred.
It is recommended to restart the program.</source>
        <translation>Произошла непредвиденная ошибка.
Рекомендуется перезапустить программу.</translation>
    </message>
    <message>
        <source>%1 (%2) to %3</source>
        <translation>%1 (%2) → %3</translation>
    </message>
    <message>
        <source>These devices could not be attached to their seats:
%1
The graphical shell was not restarted. Check the devices and save again.</source>
        <translation>Не удалось назначить эти устройства их рабочим местам:
%1
Графическая оболочка не перезапущена. Проверьте устройства и сохраните снова.</translation>
    </message>
    <message>
        <source>No seats were found. 
Continuation of work is impossible.</source>
        <translation>Рабочие места не найдены. 
Продолжение работы невозможно.</translation>
    </message>
    <message>
        <source>You have one video card.
Adding seats is not possible, because each seat needs its own video card.</source>
        <translation>В системе одна видеокарта.
Добавить рабочие места нельзя: каждому нужна своя видеокарта.</translation>
    </message>
    <message>
        <source>The all unsaved changed will be lost. 
Do you want to continue?</source>
        <translation>Все несохранённые изменения будут потеряны. 
Продолжить?</translation>
    </message>
    <message>
        <source>Seat creating</source>
        <translation>Создание рабочего места</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Несохранённые изменения</translation>
    </message>
    <message>
        <source>Configuration was changed but not saved. 
Do you want to save changes?</source>
        <translation>Конфигурация изменена, но не сохранена. 
Сохранить изменения?</translation>
    </message>
    <message>
        <source>The seats have not been read completely.
Reload the configuration before saving.</source>
        <translation>Рабочие места прочитаны не полностью.
Перечитайте конфигурацию перед сохранением.</translation>
    </message>
    <message>
        <source>Devices attaching...</source>
        <translation>Назначение устройств...</translation>
    </message>
    <message>
        <source>Device attaching error</source>
        <translation>Ошибка назначения устройства</translation>
    </message>
    <message>
        <source>Reset all seats</source>
        <translation>Сброс всех рабочих мест</translation>
    </message>
    <message>
        <source>Every device will go back to the main seat and every further seat will be removed; the display manager will be set up for one seat and restarted. 
Do you want to continue?</source>
        <translation>Все устройства вернутся на основное рабочее место, остальные рабочие места будут удалены; диспетчер дисплеев будет настроен на одно рабочее место и перезапущен. 
Продолжить?</translation>
    </message>
    <message>
        <source>Blink keyboard lights</source>
        <translation>Помигать индикаторами клавиатуры</translation>
    </message>
    <message>
        <source>No display manager found: a save attaches the devices and restarts nothing.</source>
        <translation>Диспетчер дисплеев не найден: при сохранении устройства назначаются, но ничего не перезапускается.</translation>
    </message>
    <message>
        <source>The display manager is masked: a save attaches the devices and restarts nothing.</source>
        <translation>Диспетчер дисплеев замаскирован: при сохранении устройства назначаются, но ничего не перезапускается.</translation>
    </message>
    <message>
        <source>Display manager: %1 (%2), which starts no login screen on further seats.</source>
        <translation>Диспетчер дисплеев: %1 (%2); на дополнительных рабочих местах он не запускает экран входа.</translation>
    </message>
    <message>
        <source>Display manager: %1 (%2)</source>
        <translation>Диспетчер дисплеев: %1 (%2)</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>О программе %1</translation>
    </message>
    <message>
        <source>%1 %2
Sets up the seats of a multiseat computer.

%3</source>
        <translation>%1 %2
Настраивает рабочие места многоместного компьютера.

%3</translation>
    </message>
    <message>
        <source>The display manager %1 starts no login screen on logind&apos;s seats: the further seats will get no login screen from it.</source>
        <translation>Диспетчер дисплеев %1 не запускает экран входа на рабочих местах logind: дополнительные рабочие места не получат от него экрана входа.</translation>
    </message>
    <message>
        <source>No display manager was found: the further seats will get no login screen, and nothing will be restarted.</source>
        <translation>Диспетчер дисплеев не найден: дополнительные рабочие места не получат экрана входа, и ничего не будет перезапущено.</translation>
    </message>
    <message>
        <source>
The devices are attached all the same.</source>
        <translation>
Устройства всё равно будут назначены.</translation>
    </message>
    <message>
        <source>GDM runs the seats beyond the main seat on X11 only, not on Wayland.</source>
        <translation>GDM запускает рабочие места, кроме основного, только на X11, не на Wayland.</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Сохранено</translation>
    </message>
    <message>
        <source>The devices are on their seats. No display manager was restarted, since none was found to run.</source>
        <translation>Устройства назначены своим рабочим местам. Диспетчер дисплеев не перезапущен, так как он не найден.</translation>
    </message>
    <message>
        <source>Display manager not restarted</source>
        <translation>Диспетчер дисплеев не перезапущен</translation>
    </message>
    <message>
        <source>The devices are on their seats, but %1 could not be restarted:
%2</source>
        <translation>Устройства назначены своим рабочим местам, но перезапустить %1 не удалось:
%2</translation>
    </message>
    <message>
        <source>systemctl did not answer.</source>
        <translation>systemctl не ответил.</translation>
    </message>
    <message>
        <source>systemctl failed with status %1.</source>
        <translation>systemctl завершился с ошибкой, код %1.</translation>
    </message>
    <message>
        <source>Saving restarts the display manager: the sessions of %1 will end.</source>
        <translation>Сохранение перезапустит диспетчер дисплеев: сеансы пользователей %1 будут завершены.</translation>
    </message>
    <message>
        <source>Display manager: %1</source>
        <translation>Диспетчер дисплеев: %1</translation>
    </message>
    <message>
        <source>Moved from %1; not saved yet</source>
        <translation>Перенесено с %1; ещё не сохранено</translation>
    </message>
    <message>
        <source>Layout files (*.json)</source>
        <translation>Файлы распределения (*.json)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Все файлы (*)</translation>
    </message>
    <message>
        <source>Export layout</source>
        <translation>Экспорт распределения</translation>
    </message>
    <message>
        <source>The layout could not be written to %1:
%2</source>
        <translation>Не удалось записать распределение в %1:
%2</translation>
    </message>
    <message>
        <source>Import layout</source>
        <translation>Импорт распределения</translation>
    </message>
    <message>
        <source>Nothing was imported from %1:
%2</source>
        <translation>Из %1 ничего не импортировано:
%2</translation>
    </message>
    <message>
        <source>Restore previous layout</source>
        <translation>Вернуть прежнее распределение</translation>
    </message>
    <message>
        <source>No layout has been kept yet: one is kept before every save and every reset.</source>
        <translation>Сохранённых распределений пока нет: распределение сохраняется перед каждым сохранением и каждым сбросом.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>The layout before a save or reset:</source>
        <translation>Распределение перед сохранением или сбросом:</translation>
    </message>
    <message>
        <source>Seats not created, since none of their video cards is here: %1</source>
        <translation>Не созданы рабочие места, ни одной видеокарты которых здесь нет: %1</translation>
    </message>
    <message>
        <source>Named in the file, not found here:
%1</source>
        <translation>Названы в файле, но здесь не найдены:
%1</translation>
    </message>
    <message>
        <source>Not named in the file, so on the main seat now:
%1</source>
        <translation>Не названы в файле, поэтому теперь на основном рабочем месте:
%1</translation>
    </message>
    <message>
        <source>Every device of the file was found here.</source>
        <translation>Все устройства из файла найдены здесь.</translation>
    </message>
    <message>
        <source>Nothing is saved until you save.</source>
        <translation>Ничего не сохранено, пока вы не сохраните.</translation>
    </message>
    <message>
        <source>Layout imported</source>
        <translation>Распределение импортировано</translation>
    </message>
    <message>
        <source>The layout before this change could not be kept, so it cannot be restored later:
%1</source>
        <translation>Не удалось сохранить распределение до этого изменения, поэтому его нельзя будет вернуть:
%1</translation>
    </message>
    <message>
        <source>A device is shown on two seats, and nothing was saved.
Reload the configuration and make the changes again.</source>
        <translation>Устройство показано на двух рабочих местах, ничего не сохранено.
Перезагрузите конфигурацию и внесите изменения заново.</translation>
    </message>
    <message>
        <source>Resetting all seats: every device goes back to the main seat...</source>
        <translation>Сброс всех рабочих мест: все устройства возвращаются на главное рабочее место...</translation>
    </message>
    <message>
        <source>Reset failed</source>
        <translation>Сброс не удался</translation>
    </message>
    <message>
        <source>%1 (process %2) is changing the seats. Save again when it has finished.</source>
        <translation>%1 (процесс %2) сейчас изменяет рабочие места. Сохраните ещё раз, когда он закончит.</translation>
    </message>
    <message>
        <source>The seats cannot be changed now: %1</source>
        <translation>Сейчас нельзя изменить рабочие места: %1</translation>
    </message>
</context>
<context>
    <name>MultiseatCtl</name>
    <message>
        <source>show: print JSON.</source>
        <translation>show: вывести JSON.</translation>
    </message>
    <message>
        <source>apply: print the moves on standard output, one per line.</source>
        <translation>apply: вывести перемещения в стандартный вывод, по одному в строке.</translation>
    </message>
    <message>
        <source>apply: do not restart the display manager.</source>
        <translation>apply: не перезапускать диспетчер дисплеев.</translation>
    </message>
    <message>
        <source>reset: do not ask.</source>
        <translation>reset: не спрашивать.</translation>
    </message>
    <message>
        <source>show, export, apply or reset.</source>
        <translation>show, export, apply или reset.</translation>
    </message>
    <message>
        <source>The layout file.</source>
        <translation>Файл распределения.</translation>
    </message>
    <message>
        <source>No verb given: show, export, apply or reset (see --help).</source>
        <translation>Команда не указана: show, export, apply или reset (см. --help).</translation>
    </message>
    <message>
        <source>Unknown verb %1: show, export, apply or reset (see --help).</source>
        <translation>Неизвестная команда %1: show, export, apply или reset (см. --help).</translation>
    </message>
    <message>
        <source>--%1 does not go with %2.</source>
        <translation>--%1 не подходит к %2.</translation>
    </message>
    <message>
        <source>%1 needs a layout file.</source>
        <translation>%1 требует файл распределения.</translation>
    </message>
    <message>
        <source>Too many arguments for %1.</source>
        <translation>Слишком много аргументов для %1.</translation>
    </message>
    <message>
        <source>Only root can read and change the seats: run it as root.</source>
        <translation>Читать и изменять рабочие места может только root: запустите от имени root.</translation>
    </message>
    <message>
        <source>logind lists no seat.</source>
        <translation>logind не знает ни одного рабочего места.</translation>
    </message>
    <message>
        <source>The seats could not be read completely; nothing was changed.</source>
        <translation>Не удалось полностью прочитать рабочие места; ничего не изменено.</translation>
    </message>
    <message>
        <source>(main seat)</source>
        <translation>(основное место)</translation>
    </message>
    <message>
        <source>in use: %1</source>
        <translation>занято: %1</translation>
    </message>
    <message>
        <source>%1 not written: %2</source>
        <translation>%1 не записан: %2</translation>
    </message>
    <message>
        <source>The window of %1 is open (process %2): close it, then try again.</source>
        <translation>Окно %1 открыто (процесс %2): закройте его и повторите.</translation>
    </message>
    <message>
        <source>Another %1 (process %2) is changing the seats: try again when it has finished.</source>
        <translation>Другой %1 (процесс %2) сейчас изменяет рабочие места: повторите, когда он закончит.</translation>
    </message>
    <message>
        <source>The seats cannot be changed now: %1</source>
        <translation>Сейчас нельзя изменить рабочие места: %1</translation>
    </message>
    <message>
        <source>%1 is no layout file: %2</source>
        <translation>%1 — не файл распределения: %2</translation>
    </message>
    <message>
        <source>refused by the layout rule %1: %2
Seats without any of their video cards here: %3</source>
        <translation>отклонено правилом распределения %1: %2
Рабочие места, ни одной видеокарты которых здесь нет: %3</translation>
    </message>
    <message>
        <source>Named in the file, not found here:
%1</source>
        <translation>Названо в файле, но здесь не найдено:
%1</translation>
    </message>
    <message>
        <source>Named in the file, not found here:
%1
Nothing was changed.</source>
        <translation>Названо в файле, но здесь не найдено:
%1
Ничего не изменено.</translation>
    </message>
    <message>
        <source>Nothing to change: the seats are as the file lays them out.</source>
        <translation>Менять нечего: рабочие места распределены так, как в файле.</translation>
    </message>
    <message>
        <source>refused by the layout rule %1: %2</source>
        <translation>отклонено правилом распределения %1: %2</translation>
    </message>
    <message>
        <source>The display manager %1 starts no login screen on logind&apos;s seats: the further seats will get no login screen from it.</source>
        <translation>Диспетчер дисплеев %1 не запускает экран входа на рабочих местах logind: дополнительные места не получат от него экрана входа.</translation>
    </message>
    <message>
        <source>No display manager was found: the further seats will get no login screen.</source>
        <translation>Диспетчер дисплеев не найден: дополнительные места не получат экрана входа.</translation>
    </message>
    <message>
        <source>Ended by a signal: the devices are on their seats, nothing was restarted.</source>
        <translation>Завершено сигналом: устройства на своих местах, ничего не перезапущено.</translation>
    </message>
    <message>
        <source>The devices are on their seats; %1 was not restarted.</source>
        <translation>Устройства на своих местах; %1 не перезапущен.</translation>
    </message>
    <message>
        <source>The devices are on their seats. No display manager was restarted, since none was found to run.</source>
        <translation>Устройства на своих местах. Диспетчер дисплеев не перезапущен, так как ни один не найден.</translation>
    </message>
    <message>
        <source>Restarting %1 ends the sessions of %2.</source>
        <translation>Перезапуск %1 завершит сеансы %2.</translation>
    </message>
    <message>
        <source>The devices are on their seats, but %1 could not be restarted:
%2</source>
        <translation>Устройства на своих местах, но %1 не удалось перезапустить:
%2</translation>
    </message>
    <message>
        <source>reset asks before it changes anything; without a terminal to ask on, give --yes.</source>
        <translation>reset спрашивает, прежде чем что-либо менять; без терминала укажите --yes.</translation>
    </message>
    <message>
        <source>Nothing to change: every device is on the main seat.</source>
        <translation>Менять нечего: все устройства на основном месте.</translation>
    </message>
    <message>
        <source>Every device will go back to the main seat and every further seat will be removed; the display manager will be set up for one seat and restarted.
Do you want to continue? [y/N] </source>
        <translation>Все устройства вернутся на основное место, а все дополнительные места будут удалены; диспетчер дисплеев будет настроен на одно место и перезапущен.
Продолжить? [д/Н] </translation>
    </message>
    <message>
        <source>y</source>
        <translation>д</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>Nothing was changed.</source>
        <translation>Ничего не изменено.</translation>
    </message>
    <message>
        <source>Reset failed: %1</source>
        <translation>Сброс не удался: %1</translation>
    </message>
    <message>
        <source>Ended by a signal; nothing was changed.</source>
        <translation>Завершено сигналом; ничего не изменено.</translation>
    </message>
    <message>
        <source>Shows, exports and applies the layout of the seats of this multiseat computer.

Verbs:
  show [--json]        the seats and their devices as logind has them now
  export [FILE]        the layout as a layout file (standard output without FILE)
  apply FILE [--check] [--diff] [--no-restart]
                       make this machine&apos;s layout the file&apos;s, as a save in the
                       window does
  reset [--yes] [--check]
                       every device back to the main seat, every further seat gone

Exit codes:
  0  nothing to change: nothing attached, nothing restarted
  1  an error
  2  changed, or would change with --check
  3  refused by a layout rule, which the message names</source>
        <translation>Показывает, экспортирует и применяет распределение рабочих мест этого многоместного компьютера.

Команды:
  show [--json]        рабочие места и их устройства, как их сейчас видит logind
  export [ФАЙЛ]        распределение в виде файла распределения (без ФАЙЛА — в стандартный вывод)
  apply ФАЙЛ [--check] [--diff] [--no-restart]
                       сделать распределение этого компьютера таким, как в файле,
                       как это делает сохранение в окне
  reset [--yes] [--check]
                       все устройства обратно на основное место, остальные места удалены

Коды завершения:
  0  менять нечего: ничего не назначено, ничего не перезапущено
  1  ошибка
  2  изменено, или с --check: будет изменено
  3  отклонено правилом распределения, которое названо в сообщении</translation>
    </message>
    <message>
        <source>apply, reset: change nothing, only tell whether a change is due.</source>
        <translation>apply, reset: ничего не менять, только сказать, нужно ли изменение.</translation>
    </message>
    <message>
        <source>The layout before this change could not be kept, so nothing was changed: %1</source>
        <translation>Не удалось сохранить распределение до этого изменения, поэтому ничего не изменено: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n change(s) due.</source>
        <translation>
            <numerusform>Нужно %n изменение.</numerusform>
            <numerusform>Нужно %n изменения.</numerusform>
            <numerusform>Нужно %n изменений.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>OutsideChangeList</name>
    <message>
        <source>%1 was connected.</source>
        <translation>Подключено: %1.</translation>
    </message>
    <message>
        <source>%1 was disconnected.</source>
        <translation>Отключено: %1.</translation>
    </message>
    <message>
        <source>%1 was moved to %2 outside this tool.</source>
        <translation>%1 перенесено на %2 вне этой программы.</translation>
    </message>
    <message numerus="yes">
        <source>%n devices changed outside this tool.</source>
        <translation>
            <numerusform>%n устройство изменено вне этой программы.</numerusform>
            <numerusform>%n устройства изменены вне этой программы.</numerusform>
            <numerusform>%n устройств изменено вне этой программы.</numerusform>
        </translation>
    </message>
    <message>
        <source>Reload to see the devices as they are now.</source>
        <translation>Перечитайте конфигурацию, чтобы увидеть устройства такими, какие они сейчас.</translation>
    </message>
    <message numerus="yes">
        <source>(and %n more)</source>
        <translation>
            <numerusform>(и ещё %n)</numerusform>
            <numerusform>(и ещё %n)</numerusform>
            <numerusform>(и ещё %n)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>OutsideChanges</name>
    <message>
        <source>Details</source>
        <translation>Подробности</translation>
    </message>
    <message>
        <source>Changes outside this tool</source>
        <translation>Изменения вне этой программы</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>You should run this application with superuser privileges.</source>
        <translation>Эту программу нужно запускать с правами суперпользователя.</translation>
    </message>
    <message>
        <source>The operating system is running in the mode of mandatory integrity control.
To configure multiterminal mode, you must be logged into the session under a high level of integrity.</source>
        <translation>Операционная система работает в режиме мандатного контроля целостности.
Чтобы настроить многотерминальный режим, войдите в сеанс с высоким уровнем целостности.</translation>
    </message>
</context>
<context>
    <name>Seat</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Rename seat</source>
        <translation>Переименовать рабочее место</translation>
    </message>
    <message>
        <source>Seat 1</source>
        <translation>Рабочее место 1</translation>
    </message>
    <message>
        <source>(will be deleted) </source>
        <translation>(будет удалено) </translation>
    </message>
    <message>
        <source>Delete seat</source>
        <translation>Удалить рабочее место</translation>
    </message>
    <message>
        <source>Attach device to place on the right</source>
        <translation>Назначить устройство рабочему месту справа</translation>
    </message>
    <message>
        <source>Attach device to main place</source>
        <translation>Вернуть устройство на основное рабочее место</translation>
    </message>
    <message>
        <source>Disconnect all devices</source>
        <translation>Отключить все устройства</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Устройства</translation>
    </message>
    <message>
        <source>Videocard</source>
        <translation>Видеокарта</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Клавиатура</translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>Мышь</translation>
    </message>
    <message>
        <source>Unrecognized devices</source>
        <translation>Нераспознанные устройства</translation>
    </message>
    <message>
        <source>Devices disconnection</source>
        <translation>Отключение устройств</translation>
    </message>
    <message>
        <source>All devices will be disconnected from seat. 
Are you sure?</source>
        <translation>Все устройства будут отключены от рабочего места. 
Вы уверены?</translation>
    </message>
    <message>
        <source>Seat renaming</source>
        <translation>Переименование рабочего места</translation>
    </message>
    <message>
        <source>New name:</source>
        <translation>Новое название:</translation>
    </message>
    <message>
        <source>The name is too long to display 
and will be displayed truncated</source>
        <translation>Название слишком длинное 
и будет показано сокращённым</translation>
    </message>
</context>
<context>
    <name>SeatReset</name>
    <message>
        <source>loginctl flush-devices failed with status %1.</source>
        <translation>loginctl flush-devices завершилась с кодом %1.</translation>
    </message>
</context>
<context>
    <name>SeatSessions</name>
    <message>
        <source>In use: %1</source>
        <translation>Занято: %1</translation>
    </message>
    <message>
        <source>Login screen</source>
        <translation>Экран входа</translation>
    </message>
    <message>
        <source>No login screen: no video card</source>
        <translation>Нет экрана входа: нет видеокарты</translation>
    </message>
    <message>
        <source>No login screen</source>
        <translation>Нет экрана входа</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 и %2</translation>
    </message>
</context>
</TS>
